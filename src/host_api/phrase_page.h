#pragma once
// The common-phrase page of the settings dialog: the user's phrases in a list ("序号",
// "常用语") with buttons to add, delete, move, import and export them. Every change is saved
// to the user's phrase file at once. A child window of the settings dialog; UI thread only.

#include "os/ui/window.h"

namespace core {
class ClientContext;
}
namespace os {
class ListControl;
}

class CPhrasePage final : public os::Window {
  public:
    static constexpr int kList = 1401;
    static constexpr int kAdd = 1402;
    static constexpr int kDelete = 1403;
    static constexpr int kMoveUp = 1404;
    static constexpr int kMoveDown = 1405;
    static constexpr int kImport = 1406;
    static constexpr int kExport = 1407;
    // A phrase holds at most this many Chinese characters (two bytes each).
    static constexpr int kMaxPhraseChineseCharacters = 50;

    explicit CPhrasePage(core::ClientContext& context);

    // Creates the page inside `parent` (or as a window of its own without one), filled.
    bool Create(os::HWND parent, const os::Rect& rect);

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    void OnAdd();
    void OnDelete();
    void OnMove(bool up);
    void OnImport();
    void OnExport();
    // The selected row, or -1 after telling the user to select one.
    int SelectedOrAsk();
    void Fill(int selected);
    void Save();
    void Tell(const std::string& text);

    core::ClientContext& context_;
    os::ListControl* list_ = nullptr;
};
