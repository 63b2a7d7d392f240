#include "ui/dialog_template.h"

namespace tolvaren {
namespace {

// Appends to a template's words, front to back.
class Words {
public:
    explicit Words(WORD* words) : next_(words) {}
    void push_back(WORD word) { *next_++ = word; }

private:
    WORD* next_;
};

void AppendDword(Words& words, DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}

// 8-bit text widened character by character, then a terminating zero.
void AppendWidened(Words& words, const char* text) {
    for (; *text != '\0'; ++text) words.push_back(static_cast<unsigned char>(*text));
    words.push_back(0);
}

}  // namespace

MainDialogTemplate BuildMainDialogTemplate() {
    MainDialogTemplate dialogTemplate{};
    Words words(dialogTemplate.words);
    AppendDword(words, kDialogStyle);    // +0   style
    AppendDword(words, kDialogExStyle);  // +4   extended style
    words.push_back(0);                  // +8   number of items: the checkbox comes later
    words.push_back(kDialogX);           // +10  x, dialog units
    words.push_back(kDialogY);           // +12  y
    words.push_back(kDialogWidth);       // +14  cx
    words.push_back(kDialogHeight);      // +16  cy
    words.push_back(0);                  // +18  menu: none
    words.push_back(0);                  // +20  class: the system dialog class
    AppendWidened(words, kProgramName);  // +22  title, UTF-16, zero-terminated
    words.push_back(kDialogFontPoints);  //      point size (DS_SETFONT)
    AppendWidened(words, kDialogFontFace);  //   typeface, UTF-16, zero-terminated
    return dialogTemplate;
}

}  // namespace tolvaren
