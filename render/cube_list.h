// The unit cube, compiled once into display list 1 and drawn scaled for every box.
#pragma once

// A fixed list name rather than one from glGenLists: the viewer owns its one context.
constexpr unsigned int CUBE_LIST = 1;

// Compiles CUBE_LIST: a cube of edge 1 centred on the origin, six GL_POLYGON faces (+z, +x,
// -z, -x, +y, -y), counter-clockwise seen from outside, one unit normal before each face.
void BuildCubeList();

// Deletes CUBE_LIST. The context that compiled it must be current.
void DeleteCubeList();

// Owns CUBE_LIST for as long as it lives: compiles it on construction and deletes it on
// destruction. The context must be current at both times.
class CubeList {
 public:
  CubeList() { BuildCubeList(); }
  ~CubeList() { DeleteCubeList(); }
  CubeList(const CubeList&) = delete;
  CubeList& operator=(const CubeList&) = delete;
};
