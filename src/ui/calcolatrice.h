#pragma once

#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "calculator/calculator.h"
#include "desktop/services.h"
#include "calculator/datum_menu.h"
#include "ui/history_model.h"
#include "ui/key_highlighter.h"
#include "ui/message_boxes.h"

class QAction;
class QLabel;
class QMenu;

namespace velmora::desktop {
class TrayIcona;
}

namespace velmora::ui {

class BatchWindow;
class CalculatorFace;
class DisplayLabel;
class Frm_About;
class HoverArea;
class IndicatorBox;
class KeyLabel;
class KeyRouter;
class DatumMenuActions;
class MapCompanion;
class MapWindow;
class RememberedTicks;

// The main window: the calculator face with its keys, display, information panel and history
// list (CalculatorFace builds them from the window design), and the menu bar. It forwards every
// click and menu choice to the engine with the key's index, its KeyRouter the keyboard, and
// redraws from the engine; its KeyHighlighter lights the key under the mouse; the desktop
// services do the rest.
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

    // Key highlighting under the mouse (see KeyHighlighter) and the font options.
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
    // The extras: azimuth lines, the exact solution near antipodes (both ticks remembered
    // between runs) and a whole point pasted from the clipboard.
    void MenuShowAzimuths_Click();
    void MenuExactSolution_Click();
    void MenuPastePointA_Click();
    void MenuPastePointB_Click();
    // View > Show midpoint (remembered like the other two ticks) and Edit > Destination from
    // A..., which asks its dialog only once A is there to start from.
    void MenuShowMidpoint_Click();
    void MenuDestination_Click();
    // The history lines to a file the user names; the batch window, from the current datum and
    // unit.
    void MenuSaveHistory_Click();
    void MenuBatch_Click();
    // View > Map: the map window with A, B and the geodesic, beside the calculator; its tick,
    // place and size remembered. Closing the window clears the tick.
    void MenuMap_Click();

    calc::Calculator& engine() { return *m_engine; }
    const HighlightState& highlight() const { return m_highlighter.state(); }
    KeyLabel* keypadKey(int index) const {
        return m_keypadKeys.at(static_cast<std::size_t>(index));
    }
    KeyLabel* selectorKey(int index) const {
        return m_selectorKeys.at(static_cast<std::size_t>(index));
    }
    QLabel* display() const;
    QTableView* historyList() const { return m_history; }
    IndicatorBox* indicator(calc::Indicator which) const {
        return m_pictures.at(static_cast<std::size_t>(which));
    }
    HoverArea* selectorGaps() const { return m_selectorGaps; }
    HoverArea* keypadGaps() const { return m_keypadGaps; }
    QWidget* face() const;
    QMenu* editMenu() const { return m_editMenu; }
    QAction* showAzimuthsAction() const { return m_showAzimuthsAction; }
    QAction* exactSolutionAction() const { return m_exactSolutionAction; }
    QAction* showMidpointAction() const { return m_showMidpointAction; }
    QAction* mapAction() const { return m_mapAction; }
    MapWindow* mapWindow() const;
    QAction* datumAction(int index) const;
    Frm_About* about() const { return m_about.get(); }
    BatchWindow* batchWindow() const { return m_batchWindow.get(); }

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
    void createMenus();
    void Form_QueryUnload(bool& cancel);
    void Lst_Storico_MouseDown(const QPoint& globalPos);
    // Shift+F10 or the Menu key on the list: the context menu at the current line.
    void openHistoryMenuFromKeyboard();
    void applyRememberedExtras();

    desktop::Services m_services;
    MessageBoxWarnings m_warnings;
    DialogPrompts m_prompts;
    std::unique_ptr<RememberedTicks> m_ticks;
    std::unique_ptr<calc::Calculator> m_engine;
    std::unique_ptr<Frm_About> m_about;
    std::unique_ptr<BatchWindow> m_batchWindow;
    std::unique_ptr<desktop::TrayIcona> m_tray;
    KeyHighlighter m_highlighter{*this};
    std::unique_ptr<KeyRouter> m_keyRouter;  // after m_engine, which it drives: destroyed before it
    bool m_autoStartTicked = false;

    CalculatorFace* m_face = nullptr;
    std::array<KeyLabel*, calc::kKeypadKeyCount> m_keypadKeys{};
    std::array<KeyLabel*, calc::kSelectorKeyCount> m_selectorKeys{};
    HoverArea* m_selectorGaps = nullptr;
    HoverArea* m_keypadGaps = nullptr;
    DisplayLabel* m_display = nullptr;
    HistoryView* m_history = nullptr;
    HistoryModel* m_historyModel = nullptr;
    std::array<IndicatorBox*, calc::kIndicatorCount> m_pictures{};
    std::array<int, calc::kIndicatorCount> m_shownPictures{};  // 0: the grey start picture

    QMenu* m_editMenu = nullptr;
    QAction* m_boldAction = nullptr;
    QAction* m_underlineAction = nullptr;
    QAction* m_autoStartAction = nullptr;
    QAction* m_showAzimuthsAction = nullptr;
    QAction* m_exactSolutionAction = nullptr;
    QAction* m_showMidpointAction = nullptr;
    QAction* m_mapAction = nullptr;
    std::unique_ptr<MapCompanion> m_map;
    DatumMenuActions* m_datumMenu = nullptr;  // owned by its menu
    std::vector<QAction*> m_shortcutActions;  // Copy, Paste, Send to calculator, About
};

}  // namespace velmora::ui
