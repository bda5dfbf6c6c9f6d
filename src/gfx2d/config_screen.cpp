#include "gfx2d/config_screen.h"


#include "gfx2d/gui_primitives.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/render_presets.h"
#include "gfx2d/screen_quad.h"

namespace {

constexpr const char* kResolutions =
    "|Resolution: 320x240|Resolution: 640x480|Resolution: 800x600|Resolution: 1024x768|Resolution: 1280x720|"
    "Resolution: 1280x800|Resolution: 1280x1024|Resolution: 1368x768|Resolution: 1440x900|Resolution: 1600x1200|"
    "Resolution: 1680x1050|Resolution: 1920x1080|Resolution: 1920x1200|";
constexpr const char* kAspectRatios = "|Aspect Ratio : 16/9|Aspect Ratio : 16/10|Aspect Ratio : 4/3|Aspect Ratio : 5/4|";
constexpr const char* kAntialiasing = "|AntiAliasing : None|AntiAliasing  : 2x|AntiAliasing  : 4x|";

constexpr int kWidths[] = {320, 640, 800, 1024, 1280, 1280, 1280, 1368, 1440, 1600, 1680, 1920, 1920};
constexpr int kHeights[] = {240, 480, 600, 768, 720, 800, 1024, 768, 900, 1200, 1050, 1080, 1200};
constexpr float kAspects[] = {16.0f / 9.0f, 16.0f / 10.0f, 4.0f / 3.0f, 5.0f / 4.0f};
constexpr int kMultisamples[] = {0, 2, 4};

template <typename T, size_t N>
T ByIndex(const T (&table)[N], int index) {
    return index >= 0 && static_cast<size_t>(index) < N ? table[index] : T{};
}

NamedTexture* PointFilteredTexture(const char* name) {
    auto* texture = new NamedTexture(name);
    texture->magnification = 0;
    texture->minification = 0;
    return texture;
}

}  // namespace

ConfigScreen* zkOpenConfiguration() {
    auto* screen = new ConfigScreen();
    screen->shell = new DemoApp();
    screen->shell->Startup(350, 290, false, 0);
    screen->shell->window->zkSetWindowTitle("Configuration");
    IDirect3DDevice9* device = g_graphics->device;
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    const float grey = 115.0f / 255.0f;
    g_graphics->clearColour[0] = g_graphics->clearColour[1] = g_graphics->clearColour[2] = grey;
    g_graphics->clearColour[3] = 1.0f;
    screen->fontTexture = PointFilteredTexture("fnt_04b08.png");
    screen->font = {8, 8, 16, 2, FONT_NUDGE_LEFT | FONT_CENTRE_FIRST_LINE_VERTICALLY, screen->fontTexture};
    screen->style = zkInitGuiStyle(screen->shell->window, &screen->font);
    screen->picture = PointFilteredTexture("tex2dnpt_screen.png");
    return screen;
}

namespace {

void DrawPicture(ConfigScreen* screen) {
    const D3DVIEWPORT9 area{0, 0, 350, 200, 0.0f, 1.0f};
    IDirect3DDevice9* device = g_graphics->device;
    device->SetViewport(&area);
    zkSet2D(350, 200);
    zkEnable(1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    screen->picture->Bind(0);
    // 350 pixels square from one pixel above the area; the viewport cuts it.
    zkDrawQuad(0, -1, 350, 350, 0xFFFFFFFF);
    device->SetTexture(0, nullptr);
}

}  // namespace

bool zkConfigurationFrame(ConfigScreen* screen) {
    DemoApp* shell = screen->shell;
    shell->timer->Update();
    AppWindow* window = shell->window;
    g_currentWindow = window;
    if (PeekMessageA(&window->message, nullptr, 0, 0, PM_REMOVE)) {
        if (window->message.message == WM_QUIT) return false;
        TranslateMessage(&window->message);
        DispatchMessageA(&window->message);
    }
    zkClear();
    zkSetViewport(0, 0, 100, 100);
    zkSet2D(350, 290);
    zkFillRect(0, 0, 350, 200, zkPackColour(0, 0, 0, 255));

    GuiStyle* style = &screen->style;
    zkFullscreenToggle(style, &screen->fullScreen);
    zkOptionList(style, kResolutions, 120, 208, 220, &screen->resolution);
    zkOptionList(style, kAspectRatios, 10, 228, 330, &screen->aspect);
    zkOptionList(style, kAntialiasing, 10, 248, 330, &screen->antialiasing);
    if (zkButton(style, "Exit", 10)) ExitProcess(0);
    if (zkButton(style, "Run", 250)) return false;

    DrawPicture(screen);
    zkPresent();
    if (window->flags & WINDOW_INACTIVE) WaitMessage();
    if (window->keyStates[VK_ESCAPE] != KEY_UP) ExitProcess(0);
    zkGuiEndFrame(style);
    return true;
}

void zkCloseConfiguration(ConfigScreen* screen) {
    zkFreeMatrixStack();
    screen->style.window = nullptr;
    screen->style.font = nullptr;
    screen->font.texture = nullptr;
    delete screen->picture;
    delete screen->fontTexture;
    screen->shell->Shutdown();
    delete screen->shell;
    delete screen;
}

void zkRunConfiguration(int* width, int* height, float* aspect, bool* fullScreen, int* multisample) {
    ConfigScreen* screen = zkOpenConfiguration();
    while (zkConfigurationFrame(screen)) {
    }
    zkConfigurationValues(*screen, width, height, aspect, fullScreen, multisample);
    zkCloseConfiguration(screen);
}

void zkConfigurationValues(const ConfigScreen& screen, int* width, int* height, float* aspect, bool* fullScreen,
                           int* multisample) {
    *width = ByIndex(kWidths, screen.resolution);
    *height = ByIndex(kHeights, screen.resolution);
    *aspect = ByIndex(kAspects, screen.aspect);
    *fullScreen = screen.fullScreen != 0;
    *multisample = ByIndex(kMultisamples, screen.antialiasing);
}
