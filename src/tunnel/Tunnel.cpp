#include "Tunnel.h"

#include <cmath>
#include <cstring>

namespace vexo {

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 normalise(Vec3 a) {
    const float length = std::sqrt(dot(a, a));
    return length > 0 ? a * (1.0f / length) : a;
}

namespace {
constexpr double kTwoPi = 6.28318530717944;
}

Tunnel::Tunnel()
    : m_vertices(kVertexCount + 1, TubeVertex{})
    , m_indices(kIndexCount + 1, 0) {}

Vec3 Tunnel::Spline_Point(float t, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    const float w0 = 0.5f * (-t3 + 2 * t2 - t);
    const float w1 = 0.5f * (3 * t3 - 5 * t2 + 2);
    const float w2 = 0.5f * (-3 * t3 + 4 * t2 + t);
    const float w3 = 0.5f * (t3 - t2);
    Vec3 result;
    result = result + p0 * w0;
    result = result + p1 * w1;
    result = result + p2 * w2;
    result = result + p3 * w3;
    return result;
}

void Tunnel::Path_Frame(float t, Vec3& position, Vec3& direction, Vec3& up) const {
    int segment = 0;
    float u = t;
    while (u > 1.0f) {
        segment = segment + 1 == kPathPoints ? 0 : segment + 1;
        u -= 1.0f;
    }
    const Vec3 p0 = m_path[static_cast<std::size_t>(segment % kPathPoints)];
    const Vec3 p1 = m_path[static_cast<std::size_t>((segment + 1) % kPathPoints)];
    const Vec3 p2 = m_path[static_cast<std::size_t>((segment + 2) % kPathPoints)];
    const Vec3 p3 = m_path[static_cast<std::size_t>((segment + 3) % kPathPoints)];
    position = Spline_Point(u, p0, p1, p2, p3);
    const Vec3 previous = Spline_Point(u - 0.01f, p0, p1, p2, p3);
    direction = normalise(position - previous);
    const Vec3 side = cross(up, direction);
    up = cross(direction, side);
}

void Tunnel::Make_Ring(Vec3 position, Vec3 direction, Vec3 up, float tv, int baseIndex) {
    const Vec3 side = cross(up, direction);
    for (int i = 0; i < kRingVertices; ++i) {
        const float a = static_cast<float>(i * kTwoPi / kRingVertices);
        const Vec3 n = side * std::cos(a) + up * std::sin(a);
        const Vec3 p = position + n * kRadius;
        TubeVertex& v = m_vertices[static_cast<std::size_t>(baseIndex + i)];
        v = {p.x, p.y, p.z, -n.x, -n.y, -n.z, static_cast<float>(1 - a / kTwoPi), tv};
    }
    m_tubeChanged = true;
}

void Tunnel::MakeSegment(int iRing1, int iRing2, int iStartIndex) {
    for (int i = 0; i < kRingVertices; ++i) {
        const int j = (i + 1) % kRingVertices;
        const auto base = static_cast<std::size_t>(iStartIndex + 6 * i);
        const auto index = [](int value) { return static_cast<std::uint16_t>(value); };
        m_indices[base + 0] = index(100 * iRing1 + i);
        m_indices[base + 1] = index(100 * iRing2 + i);
        m_indices[base + 2] = index(100 * iRing2 + j);
        m_indices[base + 3] = index(100 * iRing1 + i);
        m_indices[base + 4] = index(100 * iRing2 + j);
        m_indices[base + 5] = index(100 * iRing1 + j);
    }
}

void Tunnel::InitPoints() {
    for (int i = 0; i < kPathPoints; ++i) {
        const double angle = 4.0 * i;
        m_path[static_cast<std::size_t>(i)] = {static_cast<float>(20 * std::cos(angle)),
                                               static_cast<float>(20 * std::sin(angle)),
                                               static_cast<float>(20 * i)};
    }
    m_ringUp = {0, 1, 0};
    float t = 0;
    for (int k = 0; k < kRings; ++k) {
        Path_Frame(t, m_ringPosition, m_ringDirection, m_ringUp);
        t += kRingStep;
        Make_Ring(m_ringPosition, m_ringDirection, m_ringUp, static_cast<float>(k % 7) / 7.0f,
                  (kRings - 1 - k) * kRingVertices);
    }
    for (int k = 0; k < kRings - 1; ++k)
        MakeSegment(k + 1, k, 600 * k);
    m_eyeUp = {0, 1, 0};
    Path_Frame(0, m_eyePosition, m_eyeDirection, m_eyeUp);
    m_tubeEndT = t;
    m_eyeT = 0;
    m_lightPosition = m_eyePosition;
    Make_View_Matrix(m_view, m_eyePosition, m_eyeDirection, m_eyeUp);
}

void Tunnel::MoveMemory2() {
    // Blocks 0-49 move to 1-50; block 0 keeps its contents until it is rebuilt.
    std::memmove(&m_vertices[kRingVertices], &m_vertices[0],
                 sizeof(TubeVertex) * (kVertexCount - kRingVertices));
    m_tubeChanged = true;
}

void Tunnel::UpdateTubeInMemory() {
    MoveMemory2();
    Make_Ring(m_ringPosition, m_ringDirection, m_ringUp, static_cast<float>(m_textureRing) / 7.0f,
              0);
    Path_Frame(m_tubeEndT, m_ringPosition, m_ringDirection, m_ringUp);
    m_textureRing = (m_textureRing + 1) % 7;
}

void Tunnel::MoveScene() {
    m_eyeT += kEyeStep;
    if (m_eyeT > 199.0f)
        m_eyeT -= 199.0f;
    Path_Frame(m_eyeT, m_eyePosition, m_eyeDirection, m_eyeUp);
    if (m_tubeEndT - m_eyeT < 2.0f) {
        m_tubeEndT += kRingStep;
        if (m_tubeEndT > 199.0f)
            m_tubeEndT -= 199.0f;
        UpdateTubeInMemory();
    }
    Make_View_Matrix(m_view, m_eyePosition, m_eyeDirection, m_eyeUp);
    m_lightPosition = m_eyePosition;
}

void Tunnel::Make_View_Matrix(Matrix4& m, Vec3 position, Vec3 direction, Vec3 up) {
    const Vec3 f = normalise(direction);
    const Vec3 v = normalise(up - f * dot(up, f));
    const Vec3 r = cross(v, f);
    m = {r.x,
         v.x,
         f.x,
         0,
         r.y,
         v.y,
         f.y,
         0,
         r.z,
         v.z,
         f.z,
         0,
         -dot(r, position),
         -dot(v, position),
         -dot(f, position),
         1};
}

Matrix4 Tunnel::projection(float nearPlane, float farPlane, float fieldOfView) {
    const float c = static_cast<float>(std::cos(fieldOfView / 2.0) / std::sin(fieldOfView / 2.0));
    const float q = farPlane / (farPlane - nearPlane);
    return {c, 0, 0, 0, 0, c, 0, 0, 0, 0, q, 1, 0, 0, -q * nearPlane, 0};
}

bool Tunnel::takeTubeChanged() {
    const bool changed = m_tubeChanged;
    m_tubeChanged = false;
    return changed;
}

} // namespace vexo
