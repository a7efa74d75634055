#include "foundation/CMatrix4.h"

#include "foundation/MathHelpers.h"

#include <cmath>

namespace {

CMatrix4 Scaling(float x, float y, float z)
{
    CMatrix4 out = CMatrix4::Identity();
    out.m[0] = x;
    out.m[5] = y;
    out.m[10] = z;
    return out;
}

CMatrix4 Translation(float x, float y, float z)
{
    CMatrix4 out = CMatrix4::Identity();
    out.m[12] = x;
    out.m[13] = y;
    out.m[14] = z;
    return out;
}

CVector3 Cross(const CVector3& a, const CVector3& b)
{
    return CVector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

} // namespace

CMatrix4 CMatrix4::Identity()
{
    return CMatrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

void MatrixMultiply(CMatrix4& out, const CMatrix4& a, const CMatrix4& b)
{
    CMatrix4 product;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            product.m[r * 4 + c] = a.m[r * 4] * b.m[c] + a.m[r * 4 + 1] * b.m[4 + c] + a.m[r * 4 + 2] * b.m[8 + c]
                + a.m[r * 4 + 3] * b.m[12 + c];
    out = product;
}

void MatrixInverse(const CMatrix4& m, CMatrix4& out)
{
    // Cramer's rule on the transpose: pair products of its lower two rows give
    // the cofactors of the upper half, then of its upper two rows the rest.
    float src[16];
    for (int i = 0; i < 4; ++i) {
        src[i] = m.m[i * 4];
        src[i + 4] = m.m[i * 4 + 1];
        src[i + 8] = m.m[i * 4 + 2];
        src[i + 12] = m.m[i * 4 + 3];
    }
    float tmp[12];
    float dst[16];
    tmp[0] = src[10] * src[15];
    tmp[1] = src[11] * src[14];
    tmp[2] = src[9] * src[15];
    tmp[3] = src[11] * src[13];
    tmp[4] = src[9] * src[14];
    tmp[5] = src[10] * src[13];
    tmp[6] = src[8] * src[15];
    tmp[7] = src[11] * src[12];
    tmp[8] = src[8] * src[14];
    tmp[9] = src[10] * src[12];
    tmp[10] = src[8] * src[13];
    tmp[11] = src[9] * src[12];
    dst[0] = tmp[0] * src[5] + tmp[3] * src[6] + tmp[4] * src[7];
    dst[0] -= tmp[1] * src[5] + tmp[2] * src[6] + tmp[5] * src[7];
    dst[1] = tmp[1] * src[4] + tmp[6] * src[6] + tmp[9] * src[7];
    dst[1] -= tmp[0] * src[4] + tmp[7] * src[6] + tmp[8] * src[7];
    dst[2] = tmp[2] * src[4] + tmp[7] * src[5] + tmp[10] * src[7];
    dst[2] -= tmp[3] * src[4] + tmp[6] * src[5] + tmp[11] * src[7];
    dst[3] = tmp[5] * src[4] + tmp[8] * src[5] + tmp[11] * src[6];
    dst[3] -= tmp[4] * src[4] + tmp[9] * src[5] + tmp[10] * src[6];
    dst[4] = tmp[1] * src[1] + tmp[2] * src[2] + tmp[5] * src[3];
    dst[4] -= tmp[0] * src[1] + tmp[3] * src[2] + tmp[4] * src[3];
    dst[5] = tmp[0] * src[0] + tmp[7] * src[2] + tmp[8] * src[3];
    dst[5] -= tmp[1] * src[0] + tmp[6] * src[2] + tmp[9] * src[3];
    dst[6] = tmp[3] * src[0] + tmp[6] * src[1] + tmp[11] * src[3];
    dst[6] -= tmp[2] * src[0] + tmp[7] * src[1] + tmp[10] * src[3];
    dst[7] = tmp[4] * src[0] + tmp[9] * src[1] + tmp[10] * src[2];
    dst[7] -= tmp[5] * src[0] + tmp[8] * src[1] + tmp[11] * src[2];
    tmp[0] = src[2] * src[7];
    tmp[1] = src[3] * src[6];
    tmp[2] = src[1] * src[7];
    tmp[3] = src[3] * src[5];
    tmp[4] = src[1] * src[6];
    tmp[5] = src[2] * src[5];
    tmp[6] = src[0] * src[7];
    tmp[7] = src[3] * src[4];
    tmp[8] = src[0] * src[6];
    tmp[9] = src[2] * src[4];
    tmp[10] = src[0] * src[5];
    tmp[11] = src[1] * src[4];
    dst[8] = tmp[0] * src[13] + tmp[3] * src[14] + tmp[4] * src[15];
    dst[8] -= tmp[1] * src[13] + tmp[2] * src[14] + tmp[5] * src[15];
    dst[9] = tmp[1] * src[12] + tmp[6] * src[14] + tmp[9] * src[15];
    dst[9] -= tmp[0] * src[12] + tmp[7] * src[14] + tmp[8] * src[15];
    dst[10] = tmp[2] * src[12] + tmp[7] * src[13] + tmp[10] * src[15];
    dst[10] -= tmp[3] * src[12] + tmp[6] * src[13] + tmp[11] * src[15];
    dst[11] = tmp[5] * src[12] + tmp[8] * src[13] + tmp[11] * src[14];
    dst[11] -= tmp[4] * src[12] + tmp[9] * src[13] + tmp[10] * src[14];
    dst[12] = tmp[2] * src[10] + tmp[5] * src[11] + tmp[1] * src[9];
    dst[12] -= tmp[4] * src[11] + tmp[0] * src[9] + tmp[3] * src[10];
    dst[13] = tmp[8] * src[11] + tmp[0] * src[8] + tmp[7] * src[10];
    dst[13] -= tmp[6] * src[10] + tmp[9] * src[11] + tmp[1] * src[8];
    dst[14] = tmp[6] * src[9] + tmp[11] * src[11] + tmp[3] * src[8];
    dst[14] -= tmp[10] * src[11] + tmp[2] * src[8] + tmp[7] * src[9];
    dst[15] = tmp[10] * src[10] + tmp[4] * src[8] + tmp[9] * src[9];
    dst[15] -= tmp[8] * src[9] + tmp[11] * src[10] + tmp[5] * src[8];
    const float determinant = src[0] * dst[0] + src[1] * dst[1] + src[2] * dst[2] + src[3] * dst[3];
    const float scale = 1.0f / determinant;
    for (int i = 0; i < 16; ++i)
        out.m[i] = dst[i] * scale;
}

void MatrixRotation(CMatrix4& out, MatrixAxis axis, float angle)
{
    float cosine = 1.0f;
    float sine = 0.0f;
    if (angle != 0.0f) {
        cosine = std::cos(angle);
        sine = std::sin(angle);
    }
    out = CMatrix4::Identity();
    switch (axis) {
    case MatrixAxis::X:
        out.m[5] = cosine;
        out.m[6] = sine;
        out.m[9] = -sine;
        out.m[10] = cosine;
        break;
    case MatrixAxis::Y:
        out.m[0] = cosine;
        out.m[2] = -sine;
        out.m[8] = sine;
        out.m[10] = cosine;
        break;
    case MatrixAxis::Z:
        out.m[0] = cosine;
        out.m[1] = sine;
        out.m[4] = -sine;
        out.m[5] = cosine;
        break;
    }
}

void TransformPoint(const CMatrix4& m, CVector3& out, const CVector3& point)
{
    const CVector3 p = point; // out may be point
    out.x = m.m[0] * p.x + m.m[4] * p.y + m.m[8] * p.z + m.m[12];
    out.y = m.m[1] * p.x + m.m[5] * p.y + m.m[9] * p.z + m.m[13];
    out.z = m.m[2] * p.x + m.m[6] * p.y + m.m[10] * p.z + m.m[14];
}

void NormalizeVector(CVector3& v)
{
    const float length = TableSqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f)
        return;
    v.x /= length;
    v.y /= length;
    v.z /= length;
}

void PrepareMatrix(CMatrix4& out, float translateX, float translateY, float translateZ, float rotateX, float rotateY,
                   float rotateZ, float scaleX, float scaleY, float scaleZ)
{
    CMatrix4 result = CMatrix4::Identity();
    if (scaleX != 1.0f || scaleY != 1.0f || scaleZ != 1.0f)
        result = Scaling(scaleX, scaleY, scaleZ);
    const float angles[3] = {rotateX, rotateY, rotateZ};
    for (uint32_t axis = 0; axis < 3; ++axis) {
        if (angles[axis] == 0.0f)
            continue;
        CMatrix4 rotation;
        MatrixRotation(rotation, MatrixAxis(axis), angles[axis]);
        MatrixMultiply(result, result, rotation);
    }
    MatrixMultiply(out, result, Translation(translateX, translateY, translateZ));
}

void ComposeMatrixFull(CMatrix4& out, float translateX, float translateY, float translateZ, float rotateX,
                       float rotateY, float rotateZ, float scaleX, float scaleY, float scaleZ)
{
    CMatrix4 rotationX;
    CMatrix4 rotationY;
    CMatrix4 rotationZ;
    MatrixRotation(rotationX, MatrixAxis::X, rotateX);
    MatrixRotation(rotationY, MatrixAxis::Y, rotateY);
    MatrixRotation(rotationZ, MatrixAxis::Z, rotateZ);
    CMatrix4 result;
    MatrixMultiply(result, Scaling(scaleX, scaleY, scaleZ), rotationX);
    MatrixMultiply(result, result, rotationY);
    MatrixMultiply(result, result, rotationZ);
    MatrixMultiply(out, result, Translation(translateX, translateY, translateZ));
}

void MatrixFromDirection(CMatrix4& out, const CVector3& position, const CVector3& direction)
{
    CVector3 forward = direction;
    NormalizeVector(forward);
    // Tested by magnitude: a direction along -x is as parallel to x as one
    // along +x, and its cross product with x would vanish.
    const float kTenDegrees = 0.1745329201221466f;
    const CVector3 reference = std::fabs(forward.x) > std::cos(kTenDegrees) ? CVector3{0, 1, 0} : CVector3{1, 0, 0};
    CVector3 up = Cross(forward, reference);
    NormalizeVector(up);
    const CVector3 side = Cross(up, forward);
    out = CMatrix4{{side.x, side.y, side.z, 0, up.x, up.y, up.z, 0, forward.x, forward.y, forward.z, 0, position.x,
                    position.y, position.z, 1}};
}
