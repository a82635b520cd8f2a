#include "app/FileDialogs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/TProgram.h"
#include "gfx/Draw.h"
#include "gfx/PopupMenu.h"
#include "platform/Files.h"
#include "ui/TDesktop.h"
#include "ui/UIButton.h"
#include "ui/UIEdit.h"
#include "ui/UIFileList.h"
#include "ui/UIKeypad.h"
#include "ui/WidgetText.h"

namespace app {

namespace {

using platform::Msg;

constexpr std::uint32_t REDRAW_TIMER = 10;
constexpr std::uint32_t REDRAW_MS = 30;
constexpr int DARKEN = 24;  // of 32: how much of the screen behind shows through
constexpr std::uint16_t FILL_TOP = 0xC614, FILL_BOTTOM = 0xE718;
constexpr std::uint16_t BAR_LEFT = 0xF79A, BAR_RIGHT = 0xC614;
constexpr std::uint16_t BUTTON_FACE = 0xBE9E;
constexpr std::uint16_t KEYPAD_FACE = 0xE718;
constexpr std::uint16_t ID_OK = 1, ID_CANCEL = 2, ID_LIST = 3, ID_DELETE = 4, ID_EDIT = 4,
                        ID_NAME = 5;
constexpr std::uint16_t VISIBLE_WIDGET = ui::FLAG_VISIBLE | ui::FLAG_CAPTION | ui::FLAG_NOTIFY;
constexpr int BUTTON_WIDTH = 50, BUTTON_HEIGHT = 20;
constexpr int FILE_CAPACITY = 512;
constexpr int SAVE_NAME_LENGTH = 31;
constexpr int ENTRY_TEXT_LENGTH = 32;

// One dialog's desktop, frame and message loop. The screen it was opened over comes back
// when it ends.
class Modal {
  public:
    Modal(const DialogContext& c, std::string_view title, int w, int h, const gfx::Font* font)
        : context(c), title(title) {
        const gfx::DisplayParams& p = c.display.Params();
        box.left = (static_cast<int>(p.width) - w) / 2;
        box.top = (static_cast<int>(p.height) - h) / 2;
        box.right = box.left + w;
        box.bottom = box.top + h;
        desktop.Attach(&c.display, &c.window);
        desktop.SetFont(font);
        if (c.shownTitle) {
            previousTitle = *c.shownTitle;
            *c.shownTitle = title;
        }
    }
    ~Modal() {
        context.window.KillTimer(REDRAW_TIMER);
        desktop.Detach();
        if (before && context.display.Lock()) {
            gfx::copyInto(*context.display.BackBuffer(), *before);
            context.display.UnlockAndPresent(0);
        }
        if (context.shownTitle) *context.shownTitle = previousTitle;
    }
    Modal(const Modal&) = delete;
    Modal& operator=(const Modal&) = delete;

    int Width() const { return box.right - box.left; }
    int DisplayWidth() const { return static_cast<int>(context.display.Params().width); }

    void AddButton(ui::UIButton& b, std::uint16_t id, std::string_view caption, int x, int y) {
        b.SetRect(x, y, BUTTON_WIDTH, BUTTON_HEIGHT);
        b.SetFaces(context.buttonFaces, 0);
        b.faceColour = BUTTON_FACE;
        b.SetCaption(id, caption, ui::CAPTION_INSIDE);
        b.SetFlags(VISIBLE_WIDGET);
        desktop.AddChild(&b);
    }

    // Draws the frame and the widgets over the screen, presents them and starts redrawing.
    void Start() {
        before = gfx::captureScreen(context.display);
        if (before) {
            composed = gfx::clone(*before);
            DrawFrame(*composed);
        }
        desktop.Redraw(composed.get());
        Resume();
    }
    void Redraw() { desktop.Redraw(composed.get()); }
    // Around a dialog or menu opened from this one, which opens over the dialog as it
    // stands now, not as the last tick drew it.
    void Pause() {
        context.window.KillTimer(REDRAW_TIMER);
        Redraw();
    }
    void Resume() {
        ui::SetCurrentDesktop(&desktop);
        context.window.SetTimer(REDRAW_TIMER, REDRAW_MS);
    }

    // Runs the loop up to the next message the dialog acts on: a command, or a key that
    // reached no open list. Escape comes back as Cancel. False when the program is quitting.
    bool Next(Msg& msg) {
        for (;;) {
            bool listOpen = desktop.capture != nullptr;
            if (desktop.Pump(msg) <= 0) {
                context.window.PostQuit(0);
                return false;
            }
            if (msg.message == platform::MSG_TIMER && msg.wParam == REDRAW_TIMER) {
                Redraw();
                continue;
            }
            if (msg.message == platform::MSG_COMMAND) return true;
            if (msg.message != platform::MSG_KEYDOWN || listOpen) continue;
            if (msg.wParam == platform::KEY_ESCAPE) {
                msg.message = platform::MSG_COMMAND;
                msg.wParam = platform::MakeCommand(ID_CANCEL);
            }
            return true;
        }
    }

    const DialogContext& context;
    gfx::Rect box{};
    ui::TDesktop desktop;

  private:
    void DrawFrame(gfx::Surface& s) const {
        gfx::fillRect(s, 0, 0, s.Width() - 1, s.Height() - 1, 0x0000, DARKEN);
        gfx::gradientRect(s, box.left, box.top, Width(), box.bottom - box.top, FILL_TOP,
                          FILL_BOTTOM, true);
        gfx::rectangle(s, box.left, box.top, box.right - 1, box.bottom - 1, 0x0000);
        if (!context.fonts.medium) return;
        const gfx::Font& font = *context.fonts.medium;
        gfx::gradientRect(s, box.left + 2, box.top + 7, Width() - 4, font.height + 1, BAR_LEFT,
                          BAR_RIGHT, false);
        ui::DrawString(font, s, box.left + 10, box.top + 8, title, 0x0000);
    }

    std::string title;
    std::string previousTitle;
    gfx::SurfacePtr before, composed;
};

bool IsKey(const Msg& msg, std::uint32_t key) {
    return msg.message == platform::MSG_KEYDOWN && msg.wParam == key;
}

// The folder a previous choice lies in; the Sequences folder without one.
std::string FolderOf(const std::string& path) {
    if (path.empty()) return platform::SequencesFolder();
    return path.substr(0, std::min(path.rfind('/'), path.size()));
}

std::string NameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name for a field of `room` characters: too long, it loses letters before its
// extension rather than the extension.
std::string Fitted(const std::string& name, std::string_view ext, int room) {
    auto max = static_cast<std::size_t>(room);
    if (name.size() <= max) return name;
    if (ext.empty() || ext.size() >= max || !name.ends_with(ext)) return name.substr(0, max);
    return name.substr(0, max - ext.size()) + std::string(ext);
}

// The "File name" field at its place, with its caption above.
void AddNameField(Modal& m, ui::UIEdit& name, const gfx::Font* font, int width,
                  std::uint16_t flags) {
    name.SetCaption(ID_NAME, "File name", ui::CAPTION_ABOVE_LEFT);
    name.SetFont(font);
    name.SetRect(m.box.left + 10, m.box.top + 40, width, 20);
    name.SetFlags(flags);
    m.desktop.AddChild(&name);
}

// The list of the folder and its files of `ext`, with the path bar, at `y` below the
// dialog's top; columns: the name on the left, the size (and date) on the right.
void AddFileList(Modal& m, ui::UIFileList& list, const gfx::Font* font, const std::string& folder,
                 std::string_view ext, int y, int width, int rows, bool dates) {
    const std::uint16_t widths[] = {110, static_cast<std::uint16_t>(dates ? 50 : 55), 85};
    const std::uint16_t aligns[] = {ui::ALIGN_LEFT, ui::ALIGN_RIGHT, ui::ALIGN_RIGHT};
    list.SetCaption(ID_LIST, "Path", ui::CAPTION_ABOVE_LEFT);
    list.SetFlags(ui::FLAG_VISIBLE | ui::FLAG_CAPTION);
    list.SetFont(font);
    list.SetScrollFaces(m.context.scrollFaces);
    list.SetMode(ui::FILES_FOLDERS | ui::FILES_MATCHING | ui::FILES_PATH_BAR);
    list.SetCapacity(FILE_CAPACITY);
    list.SetPattern("*" + std::string(ext));
    list.SetPath(folder);
    list.SetColumns(dates ? 3 : 2, widths, aligns);
    list.SetRect(m.box.left + 10, m.box.top + y, width, list.HeightFor(rows));
    m.desktop.AddChild(&list);
    list.Setup();
}

// A file list command: an activated file is taken as Ok; any other report puts the
// selected file's name in the name field.
void FollowList(const Msg& msg, const ui::UIFileList& list, ui::UIEdit& name) {
    if (platform::CommandCode(msg.wParam) == ui::LIST_ACTIVATED) {
        ui::PostToWindow(platform::MSG_COMMAND, platform::MakeCommand(ID_OK), 0);
        return;
    }
    std::optional<std::string> selected = list.Selected(ui::UIFileList::FILE_NAME);
    if (selected && !list.SelectedIsFolder()) name.SetText(*selected);
}

// Ok: the list's folder joined to the name; false (nothing happens) without a name.
bool Choose(const ui::UIFileList& list, const ui::UIEdit& name, std::string_view ext,
            std::string& path) {
    if (name.Text().empty()) return false;
    path = list.path + "/" + name.Text();
    ForceExtension(path, ext);
    return true;
}

// Asks, then deletes the selected file; false when the program is quitting meanwhile.
bool DeleteSelected(Modal& m, ui::UIFileList& list, ui::UIEdit& name) {
    const DialogContext& c = m.context;
    std::optional<std::string> file = list.Selected(ui::UIFileList::FILE_PATH);
    if (!file || list.SelectedIsFolder()) return true;
    m.Pause();
    gfx::PopupMenu menu;
    gfx::setApplicationMenuStyle(menu, c.fonts.medium, c.fonts.large);
    menu.selectedIndex = 2;
    int answer = gfx::showMenu(menu, c.display, c.window, "Delete File", "01Yes,02No");
    m.Resume();
    if (answer == gfx::MENU_QUIT) return false;
    if (answer != 1) return true;
    if (!platform::DeleteFile(*file)) {
        std::fprintf(stderr, "fretlore: cannot delete %s: %s\n", file->c_str(),
                     std::strerror(errno));
        return true;
    }
    if (name.Text() == NameOf(*file)) name.SetText("");
    list.Refresh();
    return true;
}

// The loop of the open and save dialogs: Ok takes the named file, Cancel ends and the
// list fills the name field. Enter in a focused name field is Ok, as in any save box (the
// open dialog's field never takes the focus). Other commands go to `other`, which answers
// false when the program is quitting.
template <typename OtherCommand>
int RunFileDialog(Modal& m, ui::UIFileList& list, ui::UIEdit& name, std::string_view ext,
                  std::string& path, OtherCommand&& other) {
    for (Msg msg; m.Next(msg);) {
        if (IsKey(msg, platform::KEY_RETURN) && m.desktop.focus == &name)
            msg = Msg{platform::MSG_COMMAND, platform::MakeCommand(ID_OK), 0, 0};
        if (msg.message != platform::MSG_COMMAND) continue;
        switch (const std::uint32_t id = platform::CommandId(msg.wParam)) {
            case ID_OK:
                if (Choose(list, name, ext, path)) return DIALOG_OK;
                break;
            case ID_CANCEL:
                return DIALOG_CANCEL;
            case ID_LIST:
                FollowList(msg, list, name);
                break;
            default:
                if (!other(id)) return DIALOG_QUIT;
                break;
        }
    }
    return DIALOG_QUIT;
}

}  // namespace

int OpenFileDialog(const DialogContext& c, std::string& path, std::string_view title,
                   std::string_view ext) {
    Modal m(c, title, static_cast<int>(c.display.Params().width) - 20, 230, c.fonts.medium);
    const gfx::Rect& b = m.box;
    ui::UIEdit name;
    name.editState = ui::EDIT_READONLY;
    name.SetMaxLength(static_cast<std::int32_t>(ui::COLUMN_LIMIT));  // any name the list shows
    AddNameField(m, name, c.fonts.small, m.Width() - 20, VISIBLE_WIDGET);
    ui::UIButton ok, cancel, remove;
    m.AddButton(ok, ID_OK, "Ok", b.right - 115, b.bottom - 27);
    m.AddButton(cancel, ID_CANCEL, "Cancel", b.right - 60, b.bottom - 27);
    m.AddButton(remove, ID_DELETE, "Delete", b.left + 10, b.bottom - 27);
    ui::UIFileList list;
    // Dates only where there is room for them: a dialog 240 pixels wide or more.
    AddFileList(m, list, c.fonts.small, FolderOf(path), ext, 72, m.DisplayWidth() - 40, 7,
                m.Width() >= 240);
    // The arrows and Enter work the list from the start.
    ui::SetFocus(&list.files);
    m.Start();

    return RunFileDialog(m, list, name, ext, path, [&](std::uint32_t id) {
        return id != ID_DELETE || DeleteSelected(m, list, name);
    });
}

int SaveFileDialog(const DialogContext& c, std::string& path, std::string_view title,
                   std::string_view ext) {
    Modal m(c, title, 220, 225, c.fonts.medium);
    const gfx::Rect& b = m.box;
    ui::UIEdit name;
    name.SetMaxLength(SAVE_NAME_LENGTH);
    name.SetText(path.empty() ? std::string() : NameOf(path));
    name.SelectAll(-1);
    AddNameField(m, name, c.fonts.medium, m.Width() - 75, VISIBLE_WIDGET | ui::FLAG_FOCUSABLE);
    ui::UIButton ok, cancel, edit;
    m.AddButton(ok, ID_OK, "Ok", b.right - 115, b.bottom - 27);
    m.AddButton(cancel, ID_CANCEL, "Cancel", b.right - 60, b.bottom - 27);
    m.AddButton(edit, ID_EDIT, "Edit", b.right - 60, b.top + 40);
    ui::UIFileList list;
    AddFileList(m, list, c.fonts.medium, FolderOf(path), ext, 80, 200, 5, false);
    list.SelectName(name.Text());
    ui::SetFocus(&name);
    m.Start();

    return RunFileDialog(m, list, name, ext, path, [&](std::uint32_t id) {
        if (id != ID_EDIT) return true;
        std::string text = name.Text();
        m.Pause();
        int answer = TextEntryDialog(c, text, "File Name", ext);
        if (answer == DIALOG_QUIT) return false;
        if (answer == DIALOG_OK) name.SetText(Fitted(text, ext, SAVE_NAME_LENGTH));
        m.Resume();
        return true;
    });
}

int TextEntryDialog(const DialogContext& c, std::string& text, std::string_view title,
                    std::string_view ext) {
    Modal m(c, title, 220, 175, c.fonts.small);
    const gfx::Rect& b = m.box;
    ui::UIEdit field;
    field.SetFont(c.fonts.medium);
    field.SetMaxLength(ENTRY_TEXT_LENGTH);
    field.SetText(text);
    field.SelectAll(-1);
    field.SetRect(b.left + 10, b.top + 30, m.Width() - 20, 20);
    field.SetFlags(ui::FLAG_VISIBLE | ui::FLAG_FOCUSABLE);
    m.desktop.AddChild(&field);
    ui::UIButton ok, cancel;
    m.AddButton(ok, ID_OK, "Ok", b.right - 115, b.bottom - 30);
    m.AddButton(cancel, ID_CANCEL, "Cancel", b.right - 60, b.bottom - 30);
    ui::UIKeypad keypad;
    keypad.faceColour = KEYPAD_FACE;
    keypad.SetKeySize(18, 18);
    keypad.Build();
    keypad.x = b.left + 11;
    keypad.y = b.top + 55;
    m.desktop.AddChild(&keypad);
    ui::SetFocus(&field);
    m.Start();

    for (Msg msg; m.Next(msg);) {
        bool ok = IsKey(msg, platform::KEY_RETURN) || (msg.message == platform::MSG_COMMAND &&
                                                       platform::CommandId(msg.wParam) == ID_OK);
        // An empty name would save a file of the extension alone: Ok waits for text.
        if (ok && !field.Text().empty()) {
            text = field.Text();
            if (!ext.empty()) ForceExtension(text, ext);
            return DIALOG_OK;
        }
        if (msg.message == platform::MSG_COMMAND && platform::CommandId(msg.wParam) == ID_CANCEL)
            return DIALOG_CANCEL;
    }
    return DIALOG_QUIT;
}

}  // namespace app
