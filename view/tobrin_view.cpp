#include "view/tobrin_view.h"

#include <new>

#include "model/figure.h"
#include "render/gl_state.h"
#include "render/palette.h"
#include "render/picking.h"
#include "render/scene.h"

CTobrinView::CTobrinView(ViewHost& host)
    : m_pQuadric(std::make_unique<GuideQuadric>()), m_host(host) {}

CTobrinView::~CTobrinView() {
  m_hPalette.reset();
  m_pRoot.reset();
  m_pQuadric.reset();
  // The display lists go while their context is still current; the context goes last.
  if (m_context != nullptr) m_context->MakeCurrent();
  m_sphereList.reset();
  m_cubeList.reset();
  m_context.reset();
}

int CTobrinView::OnCreate() {
  m_context = m_host.CreateContext();
  if (m_context == nullptr) return -1;
  try {
    SetupPixelFormat();
    InitScene();
  } catch (const std::bad_alloc&) {
    m_pRoot.reset();
    m_sphereList.reset();
    m_cubeList.reset();
    m_hPalette.reset();
    m_context.reset();
    return -1;
  }
  return 0;
}

void CTobrinView::SetupPixelFormat() {
  const std::vector<PaletteEntry> entries = BuildLogicalPalette(m_host.DescribePixelFormat());
  if (entries.empty()) return;
  m_hPalette = m_host.CreatePalette(entries);
  if (m_hPalette != nullptr) m_hPalette->Realize();
}

void CTobrinView::InitScene() {
  InitFixedState();
  m_cubeList = std::make_unique<CubeList>();
  m_sphereList = std::make_unique<GuideSphereList>(m_pQuadric->get());
  m_pRoot = BuildFigure();
}

void CTobrinView::OnSize(int cx, int cy) {
  m_nWidth = cx > 0 ? cx : 0;
  m_nHeight = cy > 0 ? cy : 0;
  // An empty area has no aspect; the last one stands until the area has a height again.
  if (m_nHeight > 0) m_dAspect = static_cast<double>(m_nWidth) / m_nHeight;
  if (!m_bCentreProjected) {
    m_fCentreX = 0.5f * static_cast<float>(m_nWidth);
    m_fCentreY = 0.5f * static_cast<float>(m_nHeight);
  }
}

void CTobrinView::OnDraw() {
  DrawScene();
}

void CTobrinView::DrawScene() {
  if (!IsCreated()) return;
  const bool sphere = m_nMode == MODE_ORIENTATION && m_bArcballVisible;
  const SceneFrame frame = {m_pRoot.get(), m_camera, m_nWidth, m_nHeight, sphere, OutlinedPart()};
  if (::DrawScene(frame)) m_context->SwapBuffers();
}

PartNode* CTobrinView::PickPart(int x, int y) {
  if (!IsCreated()) return nullptr;
  return ::PickPart(m_pRoot.get(), m_camera, m_nWidth, m_nHeight, x, y);
}

int CTobrinView::ProjectOrigin(float out[2]) {
  if (!IsCreated()) return 0;
  return ::ProjectOrigin(m_pRoot.get(), m_camera, m_nWidth, m_nHeight, out);
}

void CTobrinView::ProjectCentre() {
  float centre[2];
  if (ProjectOrigin(centre) == 0) return;  // the centre keeps its last value
  m_fCentreX = centre[0];
  m_fCentreY = centre[1];
  m_bCentreProjected = true;
}

int CTobrinView::OnQueryNewPalette() {
  if (m_hPalette == nullptr || m_context == nullptr) return 0;
  const int changed = m_hPalette->Realize();
  if (changed != 0) m_host.RequestRepaint();
  return changed;
}

void CTobrinView::OnPaletteChanged(bool causedByThisView) {
  if (m_hPalette == nullptr || causedByThisView || m_context == nullptr) return;
  if (m_hPalette->Realize() != 0) m_hPalette->UpdateColors();
}
