// The fixed OpenGL state, the cube list, materials and projection, read back from a real
// context.
#include <GL/gl.h>
#include <GL/glext.h>  // GL_RESCALE_NORMAL, which Windows' OpenGL 1.1 header lacks
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "render/cube_list.h"
#include "render/gl_state.h"
#include "render/material.h"
#include "render/projection.h"
#include "tests/support/gl_test.h"

namespace {

using ::testing::Each;
using ::testing::SizeIs;
using tobrin_test::GLTest;

class FixedState : public GLTest {};

void ExpectLight(GLenum parameter, std::vector<float> expected) {
  float v[4] = {-1, -1, -1, -1};
  glGetLightfv(GL_LIGHT0, parameter, v);
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_FLOAT_EQ(v[i], expected[i]) << parameter;
}

TEST_F(FixedState, CullingDepthClearAndLightAreSet) {
  for (auto [parameter, value] : {std::pair<GLenum, GLint>{GL_FRONT_FACE, GL_CCW},
                                  {GL_CULL_FACE_MODE, GL_BACK},
                                  {GL_DEPTH_FUNC, GL_LEQUAL}}) {
    GLint v = 0;
    glGetIntegerv(parameter, &v);
    EXPECT_EQ(v, value) << parameter;
  }
  for (GLenum on : {GL_CULL_FACE, GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0})
    EXPECT_TRUE(glIsEnabled(on)) << on;
  std::array<float, 4> clear = {1, 1, 1, 1};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
  EXPECT_EQ(clear, (std::array<float, 4>{0, 0, 0, 0}));

  ExpectLight(GL_AMBIENT, {0.2f, 0.2f, 0.2f, 1.0f});
  ExpectLight(GL_DIFFUSE, {1, 1, 1, 1});
  ExpectLight(GL_SPECULAR, {0, 0, 0, 1});
  // Set with an identity model-view, so the stored eye-space direction is the one given.
  ExpectLight(GL_POSITION, {1, 3, 8, 0});
  ExpectLight(GL_CONSTANT_ATTENUATION, {1});
  ExpectLight(GL_LINEAR_ATTENUATION, {1});
  ExpectLight(GL_QUADRATIC_ATTENUATION, {1});

  // Left at the defaults on purpose: one light, no renormalisation, no colour tracking.
  for (GLenum off : {GL_LIGHT1, GL_NORMALIZE, GL_RESCALE_NORMAL, GL_COLOR_MATERIAL})
    EXPECT_FALSE(glIsEnabled(off)) << off;
  EXPECT_NO_GL_ERROR();
}

class CubeListTest : public GLTest {
 protected:
  using Polygon = std::vector<std::array<float, 7>>;  // vertices: x, y, z, r, g, b, a

  // Runs the cube list in feedback mode under an orthographic view and returns its polygons.
  std::vector<Polygon> Feedback(float rotateX, float rotateY) {
    std::vector<float> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(rotateX, 1, 0, 0);
    glRotatef(rotateY, 0, 1, 0);
    glCallList(CUBE_LIST);
    const GLint count = glRenderMode(GL_RENDER);
    std::vector<Polygon> polygons;
    for (GLint i = 0; i < count;) {
      EXPECT_EQ(buffer[i], static_cast<float>(GL_POLYGON_TOKEN));
      const int n = static_cast<int>(buffer[i + 1]);
      Polygon& p = polygons.emplace_back(n);
      for (int k = 0; k < n; ++k)
        std::copy_n(&buffer[i + 2 + 7 * k], 7, p[k].begin());
      i += 2 + 7 * n;
    }
    return polygons;
  }

  // Feedback reports a four-sided face as one polygon, or as the two triangles of a fan (as
  // Mesa does). Returns how many polygons each face gave, after checking they add up.
  static int PolygonsPerFace(const std::vector<Polygon>& polygons, size_t faces) {
    const bool quads = polygons.size() == faces;
    EXPECT_TRUE(quads || polygons.size() == 2 * faces) << polygons.size() << " polygons";
    EXPECT_THAT(polygons, Each(SizeIs(quads ? 4u : 3u)));
    return quads ? 1 : 2;
  }
};

TEST_F(CubeListTest, SixUnitFacesInOrderEachLitOnlyAlongItsOwnNormal) {
  glDisable(GL_CULL_FACE);
  const float white[4] = {1, 1, 1, 1};
  const float black[4] = {0, 0, 0, 1};  // no ambient light, of the material or the lights
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
  glLightfv(GL_LIGHT0, GL_AMBIENT, black);
  // Face order and normals: +z, +x, -z, -x, +y, -y.
  const float normals[6][3] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
  for (int lit = 0; lit < 6; ++lit) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float direction[4] = {normals[lit][0], normals[lit][1], normals[lit][2], 0};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    const std::vector<Polygon> polygons = Feedback(0, 0);
    const int perFace = PolygonsPerFace(polygons, 6);
    for (size_t k = 0; k < polygons.size(); ++k) {
      const int face = static_cast<int>(k) / perFace;
      for (const auto& v : polygons[k]) {
        EXPECT_NEAR(v[3], face == lit ? 1.0f : 0.0f, 1e-5) << "face " << face << " light " << lit;
      }
    }
  }
  const float defaultModelAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, defaultModelAmbient);
}

TEST_F(CubeListTest, FacesWindCounterClockwiseSeenFromOutside) {
  // Turned so that +z, +x and +y face the viewer: with back faces culled exactly those three
  // remain, in list order.
  const std::vector<Polygon> polygons = Feedback(30, -30);
  const int perFace = PolygonsPerFace(polygons, 3);
  ASSERT_EQ(polygons.size(), 3u * perFace);
  // The +z face first, then +x, then +y, told apart by where their centres lie.
  const auto centre = [&](int face, int axis) {
    float sum = 0;
    int n = 0;
    for (int k = face * perFace; k < (face + 1) * perFace; ++k) {
      for (const auto& v : polygons[k]) {
        sum += v[axis];
        ++n;
      }
    }
    return sum / n;
  };
  EXPECT_GT(centre(1, 0), centre(0, 0));  // +x face right of the +z face
  EXPECT_GT(centre(2, 1), centre(0, 1));  // +y face above it
}

TEST_F(CubeListTest, DeleteFreesTheList) {
  EXPECT_TRUE(glIsList(CUBE_LIST));
  DeleteCubeList();
  EXPECT_FALSE(glIsList(CUBE_LIST));
  BuildCubeList();
  EXPECT_TRUE(glIsList(CUBE_LIST));
  EXPECT_NO_GL_ERROR();
}

class Material : public GLTest {};

TEST_F(Material, DiffuseIsTheColourAmbientAFifthEmissionBlack) {
  const double colour[4] = {0.3, 0.6, 0.9, 0.25};
  SetMaterial(colour);
  using Rgba = std::array<float, 4>;
  const std::pair<GLenum, Rgba> expected[] = {
      {GL_DIFFUSE, {0.3f, 0.6f, 0.9f, 1.0f}},  // alpha is always 1
      {GL_AMBIENT, {0.3f * 0.2f, 0.6f * 0.2f, 0.9f * 0.2f, 1.0f}},
      {GL_EMISSION, {0, 0, 0, 1}},
  };
  for (GLenum face : {GL_FRONT, GL_BACK}) {
    Rgba v;
    for (const auto& [parameter, value] : expected) {
      glGetMaterialfv(face, parameter, v.data());
      EXPECT_EQ(v, value) << face << " " << parameter;
    }
    glGetMaterialfv(face, GL_SPECULAR, v.data());  // untouched default: no highlights
    EXPECT_EQ(v[0], 0.0f);
  }
  GLint shade = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(shade, GL_SMOOTH);
  EXPECT_NO_GL_ERROR();
}

class Projection : public GLTest {};

TEST_F(Projection, AspectFollowsTheAreaAndTheModelViewHoldsTheCamera) {
  for (auto [width, height, aspect] :
       {std::tuple{300, 400, 0.75}, {800, 400, 2.0}, {400, 300, 4.0 / 3.0}}) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    ApplyProjection(DEFAULT_CAMERA, width, height);
    double p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    // OpenGL keeps its matrices in single precision.
    EXPECT_NEAR(p[5], f, 1e-6);
    EXPECT_NEAR(p[5] / p[0], aspect, 1e-6);
    EXPECT_NEAR(p[10], -1001.0 / 999.0, 1e-6);  // near 1, far 1000
    EXPECT_NEAR(p[14], -2000.0 / 999.0, 1e-6);

    GLint mode = 0;
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, width, height}));
    EXPECT_TRUE(ModelViewIsTheCamera());
  }
  EXPECT_NO_GL_ERROR();
}

TEST_F(Projection, MultipliesOntoTheCurrentMatrix) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScaled(2.0, 1.0, 1.0);
  ApplyProjection(DEFAULT_CAMERA, 400, 400);
  double p[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  EXPECT_NEAR(p[0] / p[5], 2.0, 1e-6);
}

}  // namespace
