#include "renderer/curtain/renderer_settings.h"

RendererSettings rendererSettings;

RendererSettings fixedRendererSettings() {
  RendererSettings s;
  s.density = 100;
  s.visibility = 90;
  s.speed = 15;
  s.frontCurtains = 1;
  s.backCurtains = 1;
  return s;
}
