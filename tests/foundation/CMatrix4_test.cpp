#include "foundation/CFPoint.h"
#include "foundation/CMatrix4.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/MathHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectNear(const CVector3& got, const CVector3& expected, float tolerance)
{
    EXPECT_NEAR(got.x, expected.x, tolerance);
    EXPECT_NEAR(got.y, expected.y, tolerance);
    EXPECT_NEAR(got.z, expected.z, tolerance);
}

CMatrix4 RandomAffine(CRandomGenerator& random)
{
    CMatrix4 m;
    PrepareMatrix(m, random.NextFloat(-50, 50), random.NextFloat(-50, 50), random.NextFloat(-50, 50),
                  random.NextFloat(-4, 4), random.NextFloat(-4, 4), random.NextFloat(-4, 4), random.NextFloat(0.2f, 3),
                  random.NextFloat(0.2f, 3), random.NextFloat(0.2f, 3));
    return m;
}

TEST(FPoint, GetAngleIsInHalfOpenTurn)
{
    EXPECT_FLOAT_EQ((CFPoint{0, -1}).GetAngle(), 3.0f * kPi / 2.0f);
    EXPECT_EQ((CFPoint{1, 0}).GetAngle(), 0.0f);
    EXPECT_FLOAT_EQ((CFPoint{-1, 0}).GetAngle(), kPi);
    const float tiny = (CFPoint{1, -1e-9f}).GetAngle();
    EXPECT_GE(tiny, 0.0f);
    EXPECT_LT(tiny, k2Pi);
}

TEST(FPoint, RotateTurnsCounterClockwiseByTheAngle)
{
    CFPoint p{1, 0};
    p.Rotate(kPi / 2.0f);
    EXPECT_NEAR(p.x, 0.0f, 2e-3f);
    EXPECT_NEAR(p.y, 1.0f, 2e-3f);
    // Rotating by minus the angle undoes it (the blitter's inverse mapping).
    for (float a = -7.0f; a < 7.0f; a += 0.3f) {
        CFPoint q{3.0f, -2.0f};
        q.Rotate(a);
        EXPECT_NEAR(q.GetAngle(), WrapAngle0To2Pi((CFPoint{3.0f, -2.0f}).GetAngle() + a), 3e-3f) << a;
        q.Rotate(-a);
        EXPECT_NEAR(q.x, 3.0f, 0.02f) << a;
        EXPECT_NEAR(q.y, -2.0f, 0.02f) << a;
    }
}

TEST(Matrix, InverseTimesMatrixIsIdentity)
{
    CRandomGenerator random;
    random.Seed(99);
    for (int n = 0; n < 100; ++n) {
        const CMatrix4 m = RandomAffine(random);
        CMatrix4 inverse;
        MatrixInverse(m, inverse);
        CMatrix4 product;
        MatrixMultiply(product, m, inverse);
        const CMatrix4 identity = CMatrix4::Identity();
        for (int i = 0; i < 16; ++i)
            ASSERT_NEAR(product.m[i], identity.m[i], 1e-4f) << "matrix " << n << " entry " << i;
    }
    // A general (non-affine) matrix.
    const CMatrix4 general{{2, 1, 0, 3, 1, 3, 2, 1, 0, 1, 4, 2, 5, 0, 1, 1}};
    CMatrix4 inverse;
    MatrixInverse(general, inverse);
    CMatrix4 product;
    MatrixMultiply(product, inverse, general);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(product.m[i], CMatrix4::Identity().m[i], 1e-5f) << i;
}

TEST(Matrix, MultiplyAppliesTheLeftMatrixFirst)
{
    CMatrix4 rotate;
    MatrixRotation(rotate, MatrixAxis::Z, kPi / 2.0f);
    CMatrix4 translate = CMatrix4::Identity();
    translate.m[12] = 5.0f;
    CMatrix4 both;
    MatrixMultiply(both, rotate, translate);
    CVector3 out;
    TransformPoint(both, out, CVector3{1, 0, 0});
    ExpectNear(out, CVector3{5, 1, 0}, 1e-6f);
    // Aliasing the output with an input.
    MatrixMultiply(rotate, rotate, translate);
    EXPECT_EQ(rotate, both);
}

TEST(Matrix, RotationsFollowTheRightHandRule)
{
    CMatrix4 m;
    CVector3 out;
    MatrixRotation(m, MatrixAxis::X, kPi / 2.0f);
    TransformPoint(m, out, CVector3{0, 1, 0});
    ExpectNear(out, CVector3{0, 0, 1}, 1e-6f);
    MatrixRotation(m, MatrixAxis::Y, kPi / 2.0f);
    TransformPoint(m, out, CVector3{0, 0, 1});
    ExpectNear(out, CVector3{1, 0, 0}, 1e-6f);
    MatrixRotation(m, MatrixAxis::Z, kPi / 2.0f);
    TransformPoint(m, out, CVector3{1, 0, 0});
    ExpectNear(out, CVector3{0, 1, 0}, 1e-6f);
    MatrixRotation(m, MatrixAxis::Y, 0.0f);
    EXPECT_EQ(m, CMatrix4::Identity());
}

TEST(Matrix, PrepareMatrixEqualsTheFullProduct)
{
    const float cases[][9] = {
        {0, 0, 0, 0, 0, 0, 1, 1, 1},
        {5, -3, 2, 0, 0, 0, 1, 1, 1},
        {5, -3, 2, 0.3f, 0, 0, 1, 1, 1},
        {1, 2, 3, 0, 1.1f, 0, 2, 2, 2},
        {1, 2, 3, 0.4f, -0.7f, 2.5f, 0.5f, 3, 1},
        {-8, 0, 4, 0, 0, -1.2f, 1, 1, 4},
    };
    for (const auto& c : cases) {
        CMatrix4 prepared;
        CMatrix4 full;
        PrepareMatrix(prepared, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        ComposeMatrixFull(full, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        // Skipped steps are identities, so the products agree to the bit.
        EXPECT_EQ(prepared, full);
    }
    // Scale, then rotate, then translate.
    CMatrix4 m;
    PrepareMatrix(m, 5, 0, 0, 0, 0, kPi / 2.0f, 2, 2, 2);
    CVector3 out;
    TransformPoint(m, out, CVector3{1, 0, 0});
    ExpectNear(out, CVector3{5, 2, 0}, 1e-6f);
}

TEST(Matrix, NormalizeUsesTheTableRootAndLeavesZeroAlone)
{
    CVector3 v{3, 4, 0};
    NormalizeVector(v);
    EXPECT_EQ(v, (CVector3{0.6f, 0.8f, 0.0f}));
    CVector3 zero{0, 0, 0};
    NormalizeVector(zero);
    EXPECT_EQ(zero, (CVector3{0, 0, 0}));
    CVector3 w{1, 1, 1};
    NormalizeVector(w);
    const float length = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
    EXPECT_GE(length, 1.0f);
    EXPECT_LT(length, 1.0f + 1.0f / 64.0f);
}

TEST(Matrix, FromDirectionBuildsAFrameForEveryDirection)
{
    const CVector3 directions[] = {{0, 0, 1},         {1, 0, 0},  {-1, 0, 0}, {0.99f, 0.1f, 0},
                                   {-0.99f, 0, 0.1f}, {0, -1, 0}, {1, 2, 3},  {-4, 0.5f, -2}};
    const CVector3 position{7, -8, 9};
    for (const CVector3& direction : directions) {
        CMatrix4 m;
        MatrixFromDirection(m, position, direction);
        const CVector3 rows[3] = {{m.m[0], m.m[1], m.m[2]}, {m.m[4], m.m[5], m.m[6]}, {m.m[8], m.m[9], m.m[10]}};
        for (int r = 0; r < 3; ++r) {
            const float length = std::sqrt(rows[r].x * rows[r].x + rows[r].y * rows[r].y + rows[r].z * rows[r].z);
            ASSERT_NEAR(length, 1.0f, 0.02f) << "row " << r;
            for (int s = r + 1; s < 3; ++s)
                ASSERT_NEAR(rows[r].x * rows[s].x + rows[r].y * rows[s].y + rows[r].z * rows[s].z, 0.0f, 1e-4f);
        }
        // The third row points along the direction; the local z axis maps there.
        const float dirLength
            = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
        ExpectNear(rows[2], CVector3{direction.x / dirLength, direction.y / dirLength, direction.z / dirLength}, 0.01f);
        CVector3 origin;
        TransformPoint(m, origin, CVector3{0, 0, 0});
        EXPECT_EQ(origin, position);
        EXPECT_EQ(m.m[3], 0.0f);
        EXPECT_EQ(m.m[15], 1.0f);
    }
    CMatrix4 m;
    MatrixFromDirection(m, CVector3{0, 0, 0}, CVector3{0, 0, 1});
    EXPECT_EQ(m, CMatrix4::Identity());
}

} // namespace
