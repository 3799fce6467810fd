#pragma once

#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "calculator/calculator.h"
#include "desktop/services.h"
#include "calculator/datum_menu.h"
#include "ui/message_boxes.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QTableView;

namespace velmora::desktop {
class TrayIcona;
}

namespace velmora::ui {

class DisplayLabel;
class Frm_About;
class HistoryModel;
class HoverArea;
class IndicatorBox;
class KeyLabel;

// Which key of each block was highlighted last, and whether hovering underlines. Not saved.
struct HighlightState {
    std::int16_t LastSelectorKey = 0;
    std::int16_t LastKeypadKey = 0;
    bool UnderlineOnHover = false;
};

// The main window: the calculator face with its keys, display, information panel and history
// list, and the menu bar. It forwards every key, click and menu choice to the engine with the
// key's index and redraws from the engine; the desktop services do the rest.
class Calcolatrice : public QMainWindow, public calc::CalculatorView {
    Q_OBJECT
public:
    explicit Calcolatrice(desktop::Services services);
    ~Calcolatrice() override;

    // The program's start-up: About box, key colours, the engine's start, tray icon and the
    // auto-start tick, then the window is shown (or only the tray icon when auto-start is on).
    void Form_Load();
    // Shows the window (from the notification area too) and brings it forward: what another
    // launch of the program asks for.
    void bringForward();

    // Key highlighting under the mouse and the font options.
    void Lab_Sel_MouseMove(std::int16_t index);
    void Img_Sel_Null_MouseMove();
    void Lab_Num_MouseMove(std::int16_t index);
    void Img_Num_Null_MouseMove();
    void MenuGrassetto_Click();
    void MenuSottolinea_Click();

    void MenuCopia_Click();
    void MenuIncolla_Click();
    void MenuInviaCalc_Click();
    void MenuAvvioAuto_Click();
    void MenuCreaCollegamento_Click();
    void MenuEliminaCollegamento_Click();
    void MenuAbout2_Click();

    calc::Calculator& engine() { return *m_engine; }
    const HighlightState& highlight() const { return m_highlight; }
    KeyLabel* keypadKey(int index) const { return m_keypadKeys.at(static_cast<std::size_t>(index)); }
    KeyLabel* selectorKey(int index) const { return m_selectorKeys.at(static_cast<std::size_t>(index)); }
    QLabel* display() const;
    QTableView* historyList() const { return m_history; }
    IndicatorBox* indicator(calc::Indicator which) const { return m_pictures.at(static_cast<std::size_t>(which)); }
    HoverArea* selectorGaps() const { return m_selectorGaps; }
    HoverArea* keypadGaps() const { return m_keypadGaps; }
    QWidget* face() const { return m_face; }
    QMenu* editMenu() const { return m_editMenu; }
    QAction* datumAction(int index) const { return m_datumActions.at(static_cast<std::size_t>(index)); }
    Frm_About* about() const { return m_about.get(); }

    // CalculatorView
    void historyLineAppended() override;
    void historyCleared() override;
    void makeLineCurrent(int line) override;
    void deselectAllLines() override;
    std::vector<std::size_t> selectedLines() const override;
    void processPendingEvents() override;
    void refresh() override;
    void focusMainWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createFace();
    void createKeys();
    void createDisplayAndHistory();
    void createPictures();
    void createMenus();
    void colourKeys();
    bool forwardKey(const QKeyEvent& event);
    bool isMenuShortcut(const QKeyEvent& event) const;
    void Form_QueryUnload(bool& cancel);
    void Lst_Storico_MouseDown(const QPoint& globalPos);
    // Shift+F10 or the Menu key on the list: the context menu at the current line.
    void openHistoryMenuFromKeyboard();
    void applyCurrentLine();
    // The picture list is 1-based, as the selector panel addresses it; 0 is the grey picture.
    static QString indicatorPicturePath(calc::Indicator which, int picture);

    desktop::Services m_services;
    MessageBoxWarnings m_warnings;
    DialogPrompts m_prompts;
    std::unique_ptr<calc::Calculator> m_engine;
    std::unique_ptr<Frm_About> m_about;
    std::unique_ptr<desktop::TrayIcona> m_tray;
    HighlightState m_highlight;
    bool m_autoStartTicked = false;
    std::optional<int> m_pendingCurrentLine;  // for applyCurrentLine; -1: no current line
    bool m_currentLineQueued = false;

    QWidget* m_face = nullptr;
    std::array<KeyLabel*, calc::kKeypadKeyCount> m_keypadKeys{};
    std::array<KeyLabel*, calc::kSelectorKeyCount> m_selectorKeys{};
    HoverArea* m_selectorGaps = nullptr;
    HoverArea* m_keypadGaps = nullptr;
    DisplayLabel* m_display = nullptr;
    QTableView* m_history = nullptr;
    HistoryModel* m_historyModel = nullptr;
    std::array<IndicatorBox*, calc::kIndicatorCount> m_pictures{};
    std::array<int, calc::kIndicatorCount> m_shownPictures{};  // 0: the grey start picture

    QMenu* m_editMenu = nullptr;
    QAction* m_boldAction = nullptr;
    QAction* m_underlineAction = nullptr;
    QAction* m_autoStartAction = nullptr;
    std::array<QAction*, calc::kDatumEntryCount> m_datumActions{};
    std::vector<QAction*> m_shortcutActions;  // Copy, Paste, Send to calculator, About
};

}  // namespace velmora::ui
