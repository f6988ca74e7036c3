#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vexo {

// Three single-precision components; all tunnel arithmetic is done in floats.
struct Vec3 {
    float x = 0, y = 0, z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
Vec3 cross(Vec3 a, Vec3 b);
float dot(Vec3 a, Vec3 b);
Vec3 normalise(Vec3 a);

// Position, normal and texture coordinates: 32 bytes, the layout the renderer uploads as is.
struct TubeVertex {
    float x, y, z;
    float nx, ny, nz;
    float tu, tv;
};
static_assert(sizeof(TubeVertex) == 32);

// 4x4 in row-vector convention (row 4 is the translation), stored row after row.
using Matrix4 = std::array<float, 16>;

// The tunnel scene: a closed spiral path, a tube of 51 rings of 100 vertices around it, and a
// camera flying along it. The tube is extended ahead of the camera by shifting its vertex store
// one ring at a time; the index list never changes.
class Tunnel {
public:
    static constexpr int kPathPoints = 200;
    static constexpr int kRings = 51;
    static constexpr int kRingVertices = 100;
    static constexpr int kVertexCount = kRings * kRingVertices;          // 5,100
    static constexpr int kIndexCount = (kRings - 1) * kRingVertices * 6; // 30,000
    static constexpr float kRadius = 6.0f;
    static constexpr float kRingStep = 0.06f;
    static constexpr float kEyeStep = 0.006f;

    Tunnel();

    void InitPoints();
    void MakeSegment(int iRing1, int iRing2, int iStartIndex);
    void Make_Ring(Vec3 position, Vec3 direction, Vec3 up, float tv, int baseIndex);
    static Vec3 Spline_Point(float t, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3);
    void Path_Frame(float t, Vec3& position, Vec3& direction, Vec3& up) const;
    void UpdateTubeInMemory();
    void MoveMemory2();
    void MoveScene();
    static void Make_View_Matrix(Matrix4& m, Vec3 position, Vec3 direction, Vec3 up);
    // The projection for the near and far planes and field of view given (square aspect).
    static Matrix4 projection(float nearPlane, float farPlane, float fieldOfView);

    const std::vector<TubeVertex>& TubeVertices() const { return m_vertices; }
    const std::vector<std::uint16_t>& TubeIndices() const { return m_indices; }
    const Matrix4& viewMatrix() const { return m_view; }
    Vec3 lightPosition() const { return m_lightPosition; }
    float EyeT() const { return m_eyeT; }
    float TubeEndT() const { return m_tubeEndT; }
    void setTubeEndT(float t) { m_tubeEndT = t; }
    void setEyeT(float t) { m_eyeT = t; }
    // True once after the vertex store changed: the renderer then uploads it again.
    bool takeTubeChanged();

private:
    std::array<Vec3, kPathPoints + 1> m_path{};
    // Sized once, with the one spare entry of each store that is never written.
    std::vector<TubeVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
    Vec3 m_ringPosition, m_ringDirection, m_ringUp;
    Vec3 m_eyePosition, m_eyeDirection, m_eyeUp;
    float m_eyeT = 0;
    float m_tubeEndT = 0;
    int m_textureRing = 0;
    Matrix4 m_view{};
    Vec3 m_lightPosition;
    bool m_tubeChanged = true;
};

} // namespace vexo
