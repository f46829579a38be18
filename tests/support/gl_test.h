// A fixture for tests that draw: one headless OpenGL context per test suite, with the viewer's
// fixed state and cube list, and helpers to check GL errors and state.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "harness/headless_gl.h"
#include "render/cube_list.h"
#include "render/gl_state.h"
#include "tests/support/gl_state_check.h"
#include "tests/support/matrix_checks.h"

namespace tobrin_test {

class GLTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    // One rendering thread: the same work, in the same order, on every run. (putenv, unlike
    // setenv, is there on Windows too; it keeps the string, so the string lives as long.)
    static char oneThread[] = "LP_NUM_THREADS=0";
    if (std::getenv("LP_NUM_THREADS") == nullptr) putenv(oneThread);
    gl_ = HeadlessGL::Create(400, 300, &unavailable_);
    if (gl_ == nullptr) return;
    InitFixedState();
    cube_ = std::make_unique<CubeList>();
  }
  static void TearDownTestSuite() {
    cube_.reset();
    gl_.reset();
  }

 protected:
  void SetUp() override {
    if (gl_ == nullptr) {
      // Only a machine without EGL's surfaceless platform may skip; anything else is a fault.
      if (unavailable_.find("surfaceless") != std::string::npos) {
        GTEST_SKIP() << "no headless OpenGL on this machine: " << unavailable_;
      }
      FAIL() << "cannot create the headless OpenGL context: " << unavailable_;
    }
    ASSERT_TRUE(gl_->Resize(400, 300));
    // Each test starts from the state a new frame would see.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    InitFixedState();
    glClearColor(0, 0, 0, 0);
    GLErrors();  // drops what earlier work left
  }

  static HeadlessGL& gl() { return *gl_; }

  // Success when the model-view matrix holds the viewer's camera and nothing else (OpenGL keeps
  // it in single precision, and in column order).
  static ::testing::AssertionResult ModelViewIsTheCamera() {
    double mv[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    const double camera[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};
    return ValuesNear(mv, camera, 16, 1e-6);
  }

 private:
  static inline std::unique_ptr<HeadlessGL> gl_;
  static inline std::unique_ptr<CubeList> cube_;
  static inline std::string unavailable_;
};

#define EXPECT_NO_GL_ERROR() EXPECT_EQ(::tobrin_test::GLErrors(), "") << "OpenGL errors"

}  // namespace tobrin_test
