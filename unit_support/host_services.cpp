// The installed graphics surface and information window, and the defaults that stand in
// while none is installed.
#include "unit_support/graphics_surface.h"
#include "unit_support/information_window.h"

namespace {

GraphicsSurface g_noSurface;
GraphicsSurface* g_surface = &g_noSurface;
void (*g_panelResized)() = nullptr;
PointerHandlers g_pointer;
InformationWindow g_noInformationWindow;
InformationWindow* g_informationWindow = &g_noInformationWindow;

}  // namespace

GraphicsSurface& Surface() {
  return *g_surface;
}
void SetGraphicsSurface(GraphicsSurface* surface) {
  g_surface = surface ? surface : &g_noSurface;
}

void NotifyPanelResized() {
  if (g_panelResized) g_panelResized();
}
void SetPanelResizedHandler(void (*handler)()) {
  g_panelResized = handler;
}

void SetPointerHandlers(PointerHandlers handlers) {
  g_pointer = handlers;
}
bool NotifyPointerMoved(QPoint displayPixel) {
  return g_pointer.moved && g_pointer.moved(displayPixel);
}
void NotifyPointerLeft() {
  if (g_pointer.left) g_pointer.left();
}
void NotifyPointerReleased(QPoint displayPixel, int button) {
  if (g_pointer.released) g_pointer.released(displayPixel, button);
}

InformationWindow& InfoWindow() {
  return *g_informationWindow;
}
void SetInformationWindow(InformationWindow* window) {
  g_informationWindow = window ? window : &g_noInformationWindow;
}
