#pragma once

#include "tunnel/Tunnel.h"

#include <cstdint>
#include <vector>

namespace vexo {

// The tube as the graphics card gets it, drawn as a device with texture wrapping on for both
// coordinates would draw the scene: between two vertices a coordinate runs the short way
// round, across 0/1 where that is shorter. With repeating textures this is the same as
// coordinates that never jump by more than a half, so the copy
// - gives every ring a 101st vertex, a copy of its first one with tu less 1, which the
//   triangles across the ring's seam use (tu then runs from 0.01 to 0, not on to 1), and
// - shifts each vertex's tv by a whole number so that it differs from the same vertex on the
//   ring before it by at most a half (tv runs on from 6/7 to 1 rather than back to 0).
// The scene's own stores stay as they are; the index list of the copy is made once from the
// scene's.
class WrappedTube {
public:
    static constexpr int kRingVertices = Tunnel::kRingVertices + 1;
    static constexpr int kVertexCount = Tunnel::kRings * kRingVertices; // 5,151

    // The index list for the scene's (which never changes).
    explicit WrappedTube(const std::vector<std::uint16_t>& sceneIndices);

    // Fills the vertex copy from the scene's vertices.
    void update(const std::vector<TubeVertex>& sceneVertices);

    const std::vector<TubeVertex>& vertices() const { return m_vertices; }
    const std::vector<std::uint16_t>& indices() const { return m_indices; }

private:
    std::vector<TubeVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

} // namespace vexo
