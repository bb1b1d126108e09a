// The native modal message box.
#include <vector>

#include "host/host_state.h"

namespace qv::host {

int ShowMessageBox(const std::string& caption_utf8, const std::string& text_utf8,
                   const std::vector<BoxButton>& buttons, int default_id, int escape_id,
                   BoxIcon icon) {
    if (!Start() || detail::S().headless || buttons.empty()) return -1;

    std::vector<SDL_MessageBoxButtonData> data;
    for (const BoxButton& b : buttons) {
        SDL_MessageBoxButtonData d{};
        d.buttonid = b.id;
        d.text = b.label.c_str();
        if (b.id == default_id) d.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (b.id == escape_id) d.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back(d);
    }
    SDL_MessageBoxData box{};
    // Win32 lays the buttons out in the order the type names them.
    box.flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (icon) {
    case BoxIcon::Error:
        box.flags |= SDL_MESSAGEBOX_ERROR;
        break;
    case BoxIcon::Warning:
        box.flags |= SDL_MESSAGEBOX_WARNING;
        break;
    case BoxIcon::Question:
    case BoxIcon::Information:
        box.flags |= SDL_MESSAGEBOX_INFORMATION;
        break;
    case BoxIcon::None:
        break;
    }
    box.title = caption_utf8.c_str();
    box.message = text_utf8.c_str();
    box.numbuttons = int(data.size());
    box.buttons = data.data();

    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) return -1;
    if (chosen == -1) {
        // Closed without a button: Win32 answers as Escape would, and a box
        // that cannot be cancelled answers with its one button.
        for (const BoxButton& b : buttons)
            if (b.id == escape_id) return escape_id;
        return buttons.size() == 1 ? buttons[0].id : default_id;
    }
    return chosen;
}

} // namespace qv::host
