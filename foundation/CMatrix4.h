#pragma once
// The 4x4 float matrix kit. Matrices are 16 floats row by row; points are row
// vectors, so the fourth row is the translation and a × b applies a first:
//   x' = m0 x + m4 y + m8 z + m12   (y' and z' likewise with m1.., m2..)

#include <cstdint>

struct CVector3 {
    float x;
    float y;
    float z;

    friend bool operator==(const CVector3&, const CVector3&) = default;
};

struct CMatrix4 {
    float m[16];

    static CMatrix4 Identity();
    friend bool operator==(const CMatrix4&, const CMatrix4&) = default;
};

enum class MatrixAxis : uint32_t { X = 0, Y = 1, Z = 2 };

// out = a × b; out may be a or b.
void MatrixMultiply(CMatrix4& out, const CMatrix4& a, const CMatrix4& b);

// Full inverse by cofactors. A singular matrix is not detected: its inverse
// comes out infinite or NaN.
void MatrixInverse(const CMatrix4& m, CMatrix4& out);

// Rotation about one axis by angle radians (0 gives the identity exactly).
void MatrixRotation(CMatrix4& out, MatrixAxis axis, float angle);

void TransformPoint(const CMatrix4& m, CVector3& out, const CVector3& point);

// v / length with the table square root; a zero vector stays as it is.
void NormalizeVector(CVector3& v);

// out = S × Rx × Ry × Rz × T, skipping the steps that are the identity
// (scale 1, 1, 1; an angle of 0).
void PrepareMatrix(CMatrix4& out, float translateX, float translateY, float translateZ, float rotateX, float rotateY,
                   float rotateZ, float scaleX, float scaleY, float scaleZ);

// The same product with all five matrices built and multiplied.
void ComposeMatrixFull(CMatrix4& out, float translateX, float translateY, float translateZ, float rotateX,
                       float rotateY, float rotateZ, float scaleX, float scaleY, float scaleZ);

// A frame at position whose third row is the normalised direction; the first
// two rows come from cross products with the x axis, or the y axis when the
// direction lies within 10 degrees of x.
void MatrixFromDirection(CMatrix4& out, const CVector3& position, const CVector3& direction);
