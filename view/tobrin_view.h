// CTobrinView: the drawing area. It owns the rendering context, the figure and everything
// the mouse does to it, and reaches its window only through a ViewHost.
//
// Units: pointer positions are client pixels, x to the right and y downwards; the arcball
// centre is in window pixels with y upwards; lengths are scene units; angles are model angle
// units (3.1415 / 360 radians each).
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "model/part_node.h"
#include "render/camera.h"
#include "render/cube_list.h"
#include "render/guide_sphere.h"
#include "view/command_state.h"
#include "view/interaction.h"
#include "view/keyboard.h"
#include "view/view_host.h"

class CTobrinView {
 public:
  explicit CTobrinView(ViewHost& host);
  ~CTobrinView();
  CTobrinView(const CTobrinView&) = delete;
  CTobrinView& operator=(const CTobrinView&) = delete;

  // Lifecycle and window events.
  int OnCreate();  // 0 on success; -1 when there is no usable OpenGL or no memory
  void OnSize(int cx, int cy);
  void OnDraw();
  int OnQueryNewPalette();  // entries changed by realising the palette
  void OnPaletteChanged(bool causedByThisView);
  void OnCaptureLost();  // the capture went elsewhere without a button-up: the drag ends

  // Mouse.
  void OnLButtonDown(int x, int y);
  void OnLButtonUp(int x, int y);
  void OnRButtonDown(int x, int y);
  void OnRButtonUp(int x, int y);
  void OnMouseMove(int x, int y);

  // Keys, with or without Shift (one pixel per step instead of ten). True when the key means
  // something in the current mode; the shell passes the others on.
  bool OnKeyDown(ViewKey key, bool shift);

  // Commands and their state handlers.
  void OnModePosition();
  void OnModeOrientation();
  void OnModeJoints();
  void OnFileReset();
  void OnFileResetJoints();
  void OnModeVisibleArcball();
  void OnUpdateModePosition(CommandState& state) const;
  void OnUpdateModeOrientation(CommandState& state) const;
  void OnUpdateModeJoints(CommandState& state) const;
  void OnUpdateModeVisibleArcball(CommandState& state);

  // Drawing, picking and the arcball.
  void DrawScene();
  PartNode* PickPart(int x, int y);
  int ProjectOrigin(float out[2]);
  std::array<double, 3> MapToArcball(int x, int y) const;
  void BeginArcball(int x, int y);
  void TrackArcball(int x, int y);

  // The part the keyboard cursor outlines, null while it is hidden or outside Joints mode.
  const PartNode* OutlinedPart() const;

  // What a screen reader says about the drawing area: the mode, the selected parts and the
  // part under a shown keyboard cursor, by name.
  std::string Description() const;

  bool IsCreated() const { return m_context != nullptr && m_pRoot != nullptr; }

  // The view's state, in the order of its fields. Public for the shell's and tests' reading;
  // only the view's own handlers write it.
  double m_dAspect = 1.0;  // width / height of the drawing area
  int m_nWidth = 0;        // drawing area, pixels
  int m_nHeight = 0;
  std::unique_ptr<HostPalette> m_hPalette;  // null on true-colour displays
  PartNodePtr m_pRoot;                      // the figure
  int m_nDragButton = DRAG_NONE;            // a DragButton
  int m_nLastX = 0;                         // pointer at the last press or move
  int m_nLastY = 0;
  Camera m_camera = DEFAULT_CAMERA;
  int m_nMode = MODE_ORIENTATION;  // an InteractionMode
  std::unique_ptr<GuideQuadric> m_pQuadric;
  bool m_bArcballVisible = false;
  std::array<double, 3> m_dAnchor = {0.0, 0.0, 1.0};  // arcball vector at the left press
  double m_dPosX = 0.0;  // where Position mode has moved the figure's origin
  double m_dPosY = 0.0;
  double m_dPosZ = 0.0;
  float m_fCentreX = 0.0f;  // arcball centre: the projected origin, y upwards
  float m_fCentreY = 0.0f;
  int m_nKeyCursor = -1;  // index among the selectable parts in tree order; -1 before the first
  bool m_bKeyCursorShown = false;

 private:
  void InitScene();
  void SetupPixelFormat();
  void SetMode(int mode);
  void TranslateRoot(double x, double y, double z);
  // The drag steps, shared by the mouse and the keys: pointer motion in client pixels, no
  // repaint request.
  void MoveAcross(int dx, int dy);  // Position mode, left drag
  void MoveNearer(int dy);          // Position mode, right drag
  void BendSelected(int dy);        // Joints mode, right drag
  void KeyTurn(int dx, int dy);     // an arcball drag from the projected origin
  std::vector<PartNode*> KeyCursorParts() const;
  PartNode* KeyCursorPart() const;
  void MoveKeyCursor(int direction);  // +1 next, -1 previous, wrapping
  bool ToggleAtKeyCursor();           // false when no cursor is shown
  void ProjectCentre();  // the origin's projection into the arcball centre, when it succeeds

  ViewHost& m_host;
  std::unique_ptr<GLContext> m_context;
  std::unique_ptr<CubeList> m_cubeList;
  std::unique_ptr<GuideSphereList> m_sphereList;
  // Until a projection of the origin succeeds, the arcball centre follows the middle of the
  // drawing area.
  bool m_bCentreProjected = false;
};
