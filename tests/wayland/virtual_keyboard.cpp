// A keyboard for the Wayland tests: joins the compositor's seat through the virtual keyboard
// protocol with a US keymap and types what standard input asks, one command a line:
//   type <text>       each character as its key, with Shift where the keymap needs it
//   key <name>        one key by its keysym name, optionally with modifiers: "Return",
//                     "F2", "ctrl+c", "shift+Delete"
// and answers each with "ok" or "error: <why>" once the compositor has handled the keys. It
// lives as long as its input, so the compositor switches the seat to its keymap only once.
#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Between a key's press and release and between two keys: long enough for a client to draw
// each key, short enough to type a coordinate in well under a second.
constexpr std::chrono::milliseconds kKeyPause{15};
// After the keymap is sent: the compositor hands it to the focused client before the first key.
constexpr std::chrono::milliseconds kKeymapSettle{200};
constexpr std::uint32_t kEvdevOffset = 8;  // xkb key codes are evdev codes + 8

struct Globals {
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        globals->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

struct Stroke {
    xkb_keycode_t key;
    xkb_mod_mask_t modifiers;
};

class Keyboard {
public:
    bool open(std::string* error);
    std::optional<Stroke> strokeForCharacter(char32_t c) const;
    std::optional<Stroke> strokeForName(const std::string& combination) const;
    bool press(const Stroke& stroke);

private:
    std::optional<Stroke> strokeForKeysym(xkb_keysym_t keysym) const;
    std::uint32_t now() const;

    wl_display* m_display = nullptr;
    Globals m_globals;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

bool Keyboard::open(std::string* error) {
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        *error = "cannot connect to the Wayland display";
        return false;
    }
    wl_registry* registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(registry, &kRegistryListener, &m_globals);
    wl_display_roundtrip(m_display);
    if (!m_globals.seat || !m_globals.manager) {
        *error = "the compositor offers no seat or no zwp_virtual_keyboard_manager_v1";
        return false;
    }
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
    m_keymap = m_context ? xkb_keymap_new_from_names(m_context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
                         : nullptr;
    if (!m_keymap) {
        *error = "cannot compile the US keymap (xkb-data)";
        return false;
    }
    char* text = xkb_keymap_get_as_string(m_keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const std::size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("velmora-keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size);
    std::free(text);
    if (!written) {
        *error = "cannot write the keymap";
        return false;
    }
    m_keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_globals.manager, m_globals.seat);
    zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<std::uint32_t>(size));
    close(fd);
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    if (wl_display_roundtrip(m_display) < 0) {
        *error = "the compositor refused the virtual keyboard";
        return false;
    }
    std::this_thread::sleep_for(kKeymapSettle);
    return true;
}

std::uint32_t Keyboard::now() const {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - m_start)
                                          .count());
}

// The first key and shift level of the first layout that give the keysym.
std::optional<Stroke> Keyboard::strokeForKeysym(xkb_keysym_t keysym) const {
    const xkb_mod_mask_t shift = 1u << xkb_keymap_mod_get_index(m_keymap, XKB_MOD_NAME_SHIFT);
    for (xkb_keycode_t key = xkb_keymap_min_keycode(m_keymap);
         key <= xkb_keymap_max_keycode(m_keymap); ++key) {
        for (xkb_level_index_t level = 0;
             level < 2 && level < xkb_keymap_num_levels_for_key(m_keymap, key, 0); ++level) {
            const xkb_keysym_t* syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(m_keymap, key, 0, level, &syms);
            if (count == 1 && syms[0] == keysym) return Stroke{key, level == 0 ? 0 : shift};
        }
    }
    return std::nullopt;
}

std::optional<Stroke> Keyboard::strokeForCharacter(char32_t c) const {
    const xkb_keysym_t keysym = xkb_utf32_to_keysym(c);
    return keysym == XKB_KEY_NoSymbol ? std::nullopt : strokeForKeysym(keysym);
}

std::optional<Stroke> Keyboard::strokeForName(const std::string& combination) const {
    xkb_mod_mask_t modifiers = 0;
    std::string rest = combination;
    for (std::size_t plus;
         (plus = rest.find('+')) != std::string::npos && plus + 1 < rest.size();) {
        const std::string name = rest.substr(0, plus);
        const char* xkbName = name == "ctrl"    ? XKB_MOD_NAME_CTRL
                              : name == "shift" ? XKB_MOD_NAME_SHIFT
                              : name == "alt"   ? XKB_MOD_NAME_ALT
                                                : nullptr;
        if (!xkbName) return std::nullopt;
        modifiers |= 1u << xkb_keymap_mod_get_index(m_keymap, xkbName);
        rest = rest.substr(plus + 1);
    }
    const xkb_keysym_t keysym = xkb_keysym_from_name(rest.c_str(), XKB_KEYSYM_NO_FLAGS);
    if (keysym == XKB_KEY_NoSymbol) return std::nullopt;
    std::optional<Stroke> stroke = strokeForKeysym(keysym);
    if (stroke) stroke->modifiers |= modifiers;
    return stroke;
}

bool Keyboard::press(const Stroke& stroke) {
    const std::uint32_t key = stroke.key - kEvdevOffset;
    if (stroke.modifiers) zwp_virtual_keyboard_v1_modifiers(m_keyboard, stroke.modifiers, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(m_keyboard, now(), key, WL_KEYBOARD_KEY_STATE_PRESSED);
    wl_display_flush(m_display);
    std::this_thread::sleep_for(kKeyPause);
    zwp_virtual_keyboard_v1_key(m_keyboard, now(), key, WL_KEYBOARD_KEY_STATE_RELEASED);
    if (stroke.modifiers) zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    const bool handled = wl_display_roundtrip(m_display) >= 0;
    std::this_thread::sleep_for(kKeyPause);
    return handled;
}

// UTF-8 to code points; invalid bytes become U+FFFD, which has no key.
std::vector<char32_t> decode(const std::string& text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + length > text.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(c);
        i += length;
    }
    return out;
}

std::string run(Keyboard& keyboard, const std::string& line) {
    if (line.rfind("type ", 0) == 0) {
        std::vector<Stroke> strokes;
        for (const char32_t c : decode(line.substr(5))) {
            const std::optional<Stroke> stroke = keyboard.strokeForCharacter(c);
            if (!stroke) return "error: a character has no key on the US keymap";
            strokes.push_back(*stroke);
        }
        for (const Stroke& stroke : strokes) {
            if (!keyboard.press(stroke)) return "error: the compositor went away";
        }
        return "ok";
    }
    if (line.rfind("key ", 0) == 0) {
        const std::optional<Stroke> stroke = keyboard.strokeForName(line.substr(4));
        if (!stroke) return "error: no such key on the US keymap";
        return keyboard.press(*stroke) ? "ok" : "error: the compositor went away";
    }
    return "error: commands are 'type <text>' and 'key <name>'";
}

}  // namespace

int main() {
    Keyboard keyboard;
    std::string error;
    if (!keyboard.open(&error)) {
        std::cerr << "virtual_keyboard: " << error << '\n';
        return 1;
    }
    std::cout << "ready" << std::endl;
    for (std::string line; std::getline(std::cin, line);)
        std::cout << run(keyboard, line) << std::endl;
    return 0;
}
