// Dialogs made from a dialog template (Resources.h): the window in the
// template's style and size, its controls created from the template in its
// font, then kMsgInitDialog → OnInitDialog.
//
// DoModal runs the dialog on the calling thread until EndDialog: the owner is
// disabled meanwhile (also when it belongs to another thread) and enabled
// again before DoModal returns. A template without kStyleVisible is shown when
// the modal loop first finds its queue empty, as there. The dialog keys:
// Enter → the focused push button's command, else kIdOk; Escape → kIdCancel
// (both as kMsgCommand with kButtonClicked); they are handled in
// PreTranslateMessage, so a dialog that swallows a key before calling the
// base keeps it from them. kMsgClose → OnCancel.
//
// Sizes in dialog units convert with the base units of the template's font:
// x = du × average character width ÷ 4, y = du × line height ÷ 8, rounded.
//
// Thread rules: one thread per dialog object, the one that creates it.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/resources/Resources.h"
#include "platform/window/WindowBase.h"

namespace platform {

struct DialogBaseUnits {
    int cx = 0;  // average character width
    int cy = 0;  // line height
};
// Base units of a template font (points at 96 dpi).
DialogBaseUnits BaseUnitsOfFont(const gfx::Font& font);
std::shared_ptr<const gfx::Font> DialogFontFor(std::u16string_view face, int points);
gfx::Rect DialogUnitsToPixels(const gfx::Rect& units, DialogBaseUnits base);

class DialogWindow : public WindowBase {
  public:
    explicit DialogWindow(int template_id, WindowHandle parent = 0);
    ~DialogWindow() override;

    // The result given to EndDialog; -1 when the template is missing or the
    // window cannot be made, or when kMsgQuit ended the loop.
    virtual int DoModal();
    bool CreateModeless(WindowHandle parent);
    // Modal: the loop ends and DoModal returns result. Modeless: the window
    // is hidden. Any number of calls; the first result counts.
    void EndDialog(int result);
    bool IsModal() const { return modal_; }

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Binds template controls to objects (BindControl), from OnInitDialog.
    virtual void DoDataExchange();
    bool PreTranslateMessage(Message& message) override;

    int TemplateId() const { return template_id_; }
    WindowHandle Owner() const { return owner_; }
    DialogBaseUnits BaseUnits() const { return base_units_; }
    gfx::Rect MapDialogRect(const gfx::Rect& units) const;
    const std::shared_ptr<const gfx::Font>& DialogFont() const { return font_; }

    VELA_DECLARE_MESSAGE_MAP();

    // Subclasses the template control id with object; false if there is none.
    bool BindControl(int id, WindowBase& object);
    // The dialog keys of a key-down message for this dialog or its children.
    bool HandleDialogKey(const Message& message);

    MessageResult OnInitDialogMessage(MessageParam wParam, MessageLong lParam);
    MessageResult OnEraseBackground(MessageParam wParam, MessageLong lParam);
    MessageResult OnPaint(MessageParam wParam, MessageLong lParam);
    MessageResult OnCtlColor(MessageParam wParam, MessageLong lParam);
    MessageResult OnClose(MessageParam wParam, MessageLong lParam);
    void OnOkCommand(int id);
    void OnCancelCommand(int id);

  private:
    bool CreateFromTemplate(WindowHandle owner);

    int template_id_;
    WindowHandle owner_;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = -1;
    DialogBaseUnits base_units_;
    std::shared_ptr<const gfx::Font> font_;
    gfx::Brush face_brush_;
};

}  // namespace platform
