# The sources of the suites that draw, built by the Linux build (tests/CMakeLists.txt) and, the
# same files, by the Windows build (tests/windows/CMakeLists.txt).
set(TOBRIN_RENDER_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/render/render_state_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render/draw_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render/picking_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render/palette_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render/headless_gl_test.cpp)
set(TOBRIN_VIEW_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/view/lifecycle_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view/mouse_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view/arcball_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view/commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view/event_sequence_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view/keys_test.cpp)
