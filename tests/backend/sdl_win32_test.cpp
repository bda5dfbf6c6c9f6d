// Win32 messages from SDL events: one event per message, posted ones first,
// SDL keys as virtual keys, the default close handling.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/app_window.h"

namespace {

class Messages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.zkCreateWindow("project", 32, 32, false));
        Drain();
        windowId = SDL_GetWindowID(SdlWindowOf(window.window));
    }
    void TearDown() override {
        Drain();
        window.zkDestroyWindow();
    }
    void Drain() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void PushKey(Uint32 type, SDL_Keycode key, Uint16 modifiers = KMOD_NONE, Uint8 repeat = 0) {
        SDL_Event event{};
        event.type = type;
        event.key.repeat = repeat;
        event.key.windowID = windowId;
        event.key.keysym.sym = key;
        event.key.keysym.mod = modifiers;
        SDL_PushEvent(&event);
    }
    MSG Next() {
        MSG message{};
        EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
        return message;
    }

    AppWindow window;
    Uint32 windowId = 0;
};

}  // namespace

TEST_F(Messages, PostedMessagesComeFirstThenOneEventPerPeek) {
    PushKey(SDL_KEYDOWN, SDLK_a);
    PushKey(SDL_KEYUP, SDLK_a);
    PostMessageA(window.window, WM_KEYDOWN, 'Z', 0);

    MSG peeked{};
    ASSERT_TRUE(PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(peeked.wParam, static_cast<WPARAM>('Z'));
    EXPECT_EQ(Next().wParam, static_cast<WPARAM>('Z'));

    const MSG down = Next();
    EXPECT_EQ(down.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(down.wParam, 0x41u);
    EXPECT_EQ(down.hwnd, window.window);
    EXPECT_EQ(Next().message, static_cast<UINT>(WM_KEYUP));
}

TEST_F(Messages, KeysBecomeVirtualKeysAndAltMakesSystemKeys) {
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    PushKey(SDL_KEYDOWN, SDLK_9);
    PushKey(SDL_KEYDOWN, SDLK_F5);
    PushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDLK_PRINTSCREEN);

    EXPECT_EQ(Next().wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(Next().wParam, 0x39u);
    EXPECT_EQ(Next().wParam, static_cast<WPARAM>(VK_F1 + 4));
    const MSG system = Next();
    EXPECT_EQ(system.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(system.wParam, static_cast<WPARAM>(VK_RETURN));
    MSG none{};
    EXPECT_FALSE(PeekMessageA(&none, nullptr, 0, 0, PM_REMOVE)) << "a key with no virtual key takes no frame";
}

// A loop taking one message a frame must not fall seconds behind a held key,
// whatever events that make no message come between the repeats; repeats of
// a key already released take no frame at all.
TEST_F(Messages, AutoRepeatsFoldIntoOneMessage) {
    EXPECT_FALSE(SDL_IsTextInputActive()) << "no text events the demo never reads";
    auto pushRepeats = [&](int count) {
        for (int i = 0; i < count; ++i) {
            PushKey(SDL_KEYDOWN, SDLK_a, KMOD_NONE, 1);
            SDL_Event text{};
            text.type = i % 2 ? SDL_TEXTINPUT : SDL_KEYMAPCHANGED;
            SDL_PushEvent(&text);
        }
    };
    PushKey(SDL_KEYDOWN, SDLK_a);
    pushRepeats(5);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    pushRepeats(3);
    PushKey(SDL_KEYUP, SDLK_a);

    EXPECT_EQ(Next().wParam, 0x41u);
    const MSG repeated = Next();
    EXPECT_EQ(repeated.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(repeated.wParam, 0x41u);
    EXPECT_EQ(Next().wParam, static_cast<WPARAM>(VK_ESCAPE));
    const MSG released = Next();
    EXPECT_EQ(released.message, static_cast<UINT>(WM_KEYUP)) << "the last repeats are dropped";
    EXPECT_EQ(released.wParam, 0x41u);
}

TEST_F(Messages, CloseRequestReachesTheWindowProcedure) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
    const MSG close = Next();
    EXPECT_EQ(close.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(close.hwnd, window.window);
    EXPECT_EQ(DefWindowProcA(close.hwnd, close.message, 0, 0), 0);
    EXPECT_FALSE(IsWindow(window.window));  // gone for the program, as after Win32 destroys it
}
