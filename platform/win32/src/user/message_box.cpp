// MessageBoxA: a test responder when one is installed; otherwise the host's
// native modal box; with no display a prompt on the terminal, or, when
// standard input is no terminal, the answer a careful user would give
// without reading (No to a question, else Cancel, else OK). Whenever no
// native box is shown the caption and text go to standard error.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "common/fault.h"
#include "user/message_box.h"
#include "user/user_state.h"

namespace qv::user {

namespace {

testing::MessageBoxResponder& Responder() {
    static testing::MessageBoxResponder r;
    return r;
}

struct Button {
    int id;
    const char* label;
};

std::vector<Button> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL:
        return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
        return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    case MB_CANCELTRYCONTINUE:
        return {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "Try Again"}, {IDCONTINUE, "Continue"}};
    default:
        return {{IDOK, "OK"}};
    }
}

bool Has(const std::vector<Button>& b, int id) {
    for (const Button& x : b)
        if (x.id == id) return true;
    return false;
}

// Escape picks Cancel, else No; a box with neither takes its first button
// (OK alone; Abort of Abort/Retry/Ignore).
int EscapeOf(const std::vector<Button>& b) {
    if (Has(b, IDCANCEL)) return IDCANCEL;
    if (Has(b, IDNO)) return IDNO;
    return b.front().id;
}

// Without a display and without a user: No to a question, Cancel to a
// request, OK to a notice.
int HeadlessAnswer(const std::vector<Button>& b) {
    if (Has(b, IDNO)) return IDNO;
    if (Has(b, IDCANCEL)) return IDCANCEL;
    if (Has(b, IDOK)) return IDOK;
    return b.front().id;
}

host::BoxIcon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return host::BoxIcon::Error;
    case MB_ICONQUESTION:
        return host::BoxIcon::Question;
    case MB_ICONEXCLAMATION:
        return host::BoxIcon::Warning;
    case MB_ICONASTERISK:
        return host::BoxIcon::Information;
    default:
        return host::BoxIcon::None;
    }
}

const char* LabelOf(const std::vector<Button>& b, int id) {
    for (const Button& x : b)
        if (x.id == id) return x.label;
    return "?";
}

int TerminalPrompt(const std::vector<Button>& buttons, int def, int esc) {
    for (;;) {
        std::fputs("  ", stderr);
        for (size_t i = 0; i < buttons.size(); ++i)
            std::fprintf(stderr, "%s[%c]%s%s", i ? " / " : "", buttons[i].label[0],
                         buttons[i].label + 1, buttons[i].id == def ? " (Enter)" : "");
        std::fputs(": ", stderr);
        std::fflush(stderr);
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) return esc; // end of input: like Escape
        const char* p = line;
        while (*p == ' ' || *p == '\t')
            ++p;
        char c = *p;
        if (c == '\n' || c == '\r' || c == '\0') return def;
        if (c == 0x1B) return esc;
        for (const Button& b : buttons)
            if (std::tolower(static_cast<unsigned char>(b.label[0])) ==
                std::tolower(static_cast<unsigned char>(c)))
                return b.id;
    }
}

} // namespace

void SetMessageBoxResponder(testing::MessageBoxResponder responder) {
    Responder() = std::move(responder);
}

} // namespace qv::user

using namespace qv::user;

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (qv::ShouldFail("MessageBoxA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (owner && !Checked(owner)) return 0;
    std::string t = text ? text : "";
    std::string c = caption ? caption : "Error"; // Win32's caption for NULL
    if (Responder()) return Responder()(owner, t, c, type);

    std::vector<Button> buttons = ButtonsOf(type);
    size_t def_index = (type & MB_DEFMASK) >> 8;
    int def = def_index < buttons.size() ? buttons[def_index].id : buttons.front().id;
    int esc = EscapeOf(buttons);
    std::string t8 = qv::Cp1252ToUtf8(t), c8 = qv::Cp1252ToUtf8(c);

    std::vector<qv::host::BoxButton> native;
    for (const Button& b : buttons)
        native.push_back({b.id, b.label});
    int answer = qv::host::ShowMessageBox(c8, t8, native, def, esc, IconOf(type));
    if (answer != -1) return answer;

    std::fprintf(stderr, "%s: %s\n", c8.c_str(), t8.c_str());
    if (isatty(STDIN_FILENO)) {
        answer = TerminalPrompt(buttons, def, esc);
    } else {
        answer = HeadlessAnswer(buttons);
        std::fprintf(stderr, "  (no display and no terminal: answered %s)\n",
                     LabelOf(buttons, answer));
    }
    std::fflush(stderr);
    return answer;
}

extern "C" BOOL WINAPI MessageBeep(UINT) {
    return TRUE;
}
