#include "WrappedTube.h"

#include <cmath>

namespace vexo {

namespace {

constexpr int kSceneRing = Tunnel::kRingVertices;

int copyOf(int sceneIndex) {
    return sceneIndex / kSceneRing * WrappedTube::kRingVertices + sceneIndex % kSceneRing;
}

} // namespace

WrappedTube::WrappedTube(const std::vector<std::uint16_t>& sceneIndices)
    : m_vertices(static_cast<std::size_t>(kVertexCount))
    , m_indices(static_cast<std::size_t>(Tunnel::kIndexCount)) {
    for (std::size_t triangle = 0; triangle < m_indices.size(); triangle += 3) {
        // A triangle that holds both a ring's first and its last vertex crosses the seam: its
        // first vertex is taken from the copy at the end of the ring.
        bool first = false, last = false;
        for (std::size_t k = 0; k < 3; ++k) {
            const int position = sceneIndices[triangle + k] % kSceneRing;
            first = first || position == 0;
            last = last || position == kSceneRing - 1;
        }
        for (std::size_t k = 0; k < 3; ++k) {
            const int scene = sceneIndices[triangle + k];
            const int index = first && last && scene % kSceneRing == 0 ? copyOf(scene) + kSceneRing
                                                                       : copyOf(scene);
            m_indices[triangle + k] = static_cast<std::uint16_t>(index);
        }
    }
}

void WrappedTube::update(const std::vector<TubeVertex>& sceneVertices) {
    for (int ring = 0; ring < Tunnel::kRings; ++ring) {
        TubeVertex* out = &m_vertices[static_cast<std::size_t>(ring * kRingVertices)];
        const TubeVertex* in = &sceneVertices[static_cast<std::size_t>(ring * kSceneRing)];
        for (int i = 0; i < kSceneRing; ++i) {
            out[i] = in[i];
            if (ring > 0) {
                // Rings are joined block to block, so tv follows on from the ring before.
                const float before = out[i - kRingVertices].tv;
                out[i].tv += std::round(before - out[i].tv);
            }
        }
        out[kSceneRing] = out[0];
        out[kSceneRing].tu -= 1.0f;
    }
}

} // namespace vexo
