#include "ui/calcolatrice.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>
#include <optional>

#include "app_info.h"
#include "picture_paths.h"
#include "desktop/auto_start.h"
#include "desktop/tray_icona.h"
#include "ui/accessibility.h"
#include "ui/batch_window.h"
#include "ui/calculator_face.h"
#include "ui/datum_menu_actions.h"
#include "ui/destination_dialog.h"
#include "ui/frm_about.h"
#include "ui/history_model.h"
#include "ui/key_router.h"
#include "ui/save_file.h"
#include "ui/map_companion.h"
#include "ui/map_input.h"
#include "ui/remembered_ticks.h"

namespace velmora::ui {

Calcolatrice::Calcolatrice(desktop::Services services)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_services(services),
      m_warnings(this),
      m_prompts(this),
      m_ticks(std::make_unique<RememberedTicks>(m_warnings)) {
    setObjectName(QStringLiteral("Calcolatrice"));
    setWindowTitle(QString::fromUtf8(app::kProductName));
    QIcon icon;
    for (const int size : res::kProgramIconSizes) {
        icon.addFile(res::programIconPath(size), QSize(size, size));
    }
    setWindowIcon(icon);

    installAccessibleInterfaces();

    const QLocale locale = QLocale::system();
    calc::UserLocale userLocale;
    userLocale.decimalMark = locale.decimalPoint().toStdString();
    userLocale.groupMark = locale.groupSeparator().toStdString();
    m_engine = std::make_unique<calc::Calculator>(*this, m_prompts, userLocale);

    createFace();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_keyRouter =
        std::make_unique<KeyRouter>(*this, *m_engine, m_shortcutActions,
                                    KeyRouter::Hooks{[this] { m_history->applyCurrentLine(); },
                                                     [this] { openHistoryMenuFromKeyboard(); }});
    m_keyRouter->watch(this);
    m_keyRouter->watch(m_history);
}

Calcolatrice::~Calcolatrice() = default;

void Calcolatrice::createFace() {
    m_face = new CalculatorFace(this);
    setCentralWidget(m_face);

    m_selectorGaps = m_face->createGaps(KeyBlock::Selector);
    connect(m_selectorGaps, &HoverArea::hovered, this, &Calcolatrice::Img_Sel_Null_MouseMove);
    m_keypadGaps = m_face->createGaps(KeyBlock::Keypad);
    connect(m_keypadGaps, &HoverArea::hovered, this, &Calcolatrice::Img_Num_Null_MouseMove);

    m_face->createKeys(KeyBlock::Keypad, m_keypadKeys);
    for (KeyLabel* key : m_keypadKeys) {
        connect(key, &KeyLabel::clicked, this,
                [this](std::int16_t k) { m_engine->Lab_Num_Click(k); });
        connect(key, &KeyLabel::hovered, this, &Calcolatrice::Lab_Num_MouseMove);
    }
    m_face->createKeys(KeyBlock::Selector, m_selectorKeys);
    for (KeyLabel* key : m_selectorKeys) {
        connect(key, &KeyLabel::clicked, this,
                [this](std::int16_t k) { m_engine->Lab_Sel_Click(k); });
        connect(key, &KeyLabel::hovered, this, &Calcolatrice::Lab_Sel_MouseMove);
    }
    m_highlighter.setKeys(m_keypadKeys, m_selectorKeys);

    m_display = m_face->createDisplay();
    connect(m_display, &ClickableLabel::clicked, this, [this] { m_engine->Display_Click(); });

    m_historyModel = new HistoryModel(m_engine->history(), this);
    m_history = m_face->createHistoryList(m_historyModel);
    m_history->viewport()->installEventFilter(this);
    setFocusProxy(m_history);

    m_pictures = m_face->createIndicators();
}

void Calcolatrice::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);

    // One entry: caption, object name and handler; an entry with a shortcut is also one of
    // the actions the keyboard handling leaves to the menus.
    const auto addEntry = [this](QMenu* menu, const QString& caption, const QString& name,
                                 auto handler, const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            m_shortcutActions.push_back(action);
        }
        return action;
    };

    m_editMenu = bar->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("MenuModifica"));
    addEntry(m_editMenu, QStringLiteral("Copy"), QStringLiteral("MenuCopia"),
             &Calcolatrice::MenuCopia_Click, QKeySequence(Qt::CTRL | Qt::Key_C));
    addEntry(m_editMenu, QStringLiteral("Paste"), QStringLiteral("MenuIncolla"),
             &Calcolatrice::MenuIncolla_Click, QKeySequence(Qt::CTRL | Qt::Key_V));
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("MenuNull0"));
    addEntry(m_editMenu, QStringLiteral("Send to calculator "), QStringLiteral("MenuInviaCalc"),
             &Calcolatrice::MenuInviaCalc_Click, QKeySequence(Qt::CTRL | Qt::Key_I));
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("MenuNullPastePoint"));
    addEntry(m_editMenu, QStringLiteral("Paste point A"), QStringLiteral("MenuPastePointA"),
             &Calcolatrice::MenuPastePointA_Click);
    addEntry(m_editMenu, QStringLiteral("Paste point B"), QStringLiteral("MenuPastePointB"),
             &Calcolatrice::MenuPastePointB_Click);
    addEntry(m_editMenu, QStringLiteral("Destination from A..."), QStringLiteral("MenuDestination"),
             &Calcolatrice::MenuDestination_Click);
    addEntry(m_editMenu, QStringLiteral("Save history..."), QStringLiteral("MenuSaveHistory"),
             &Calcolatrice::MenuSaveHistory_Click);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("MenuVisualizza"));
    m_boldAction = addEntry(view, QStringLiteral("Font bold"), QStringLiteral("MenuGrassetto"),
                            &Calcolatrice::MenuGrassetto_Click);
    m_boldAction->setCheckable(true);
    m_underlineAction =
        addEntry(view, QStringLiteral("Font underline"), QStringLiteral("MenuSottolinea"),
                 &Calcolatrice::MenuSottolinea_Click);
    m_underlineAction->setCheckable(true);
    view->addSeparator()->setObjectName(QStringLiteral("MenuNullAzimuths"));
    m_showAzimuthsAction =
        addEntry(view, QStringLiteral("Show azimuths"), QStringLiteral("MenuShowAzimuths"),
                 &Calcolatrice::MenuShowAzimuths_Click);
    m_showAzimuthsAction->setCheckable(true);
    m_showMidpointAction =
        addEntry(view, QStringLiteral("Show midpoint"), QStringLiteral("MenuShowMidpoint"),
                 &Calcolatrice::MenuShowMidpoint_Click);
    m_showMidpointAction->setCheckable(true);
    m_mapAction = addEntry(view, QStringLiteral("Map"), QStringLiteral("MenuMap"),
                           &Calcolatrice::MenuMap_Click);
    m_mapAction->setCheckable(true);
    m_map = std::make_unique<MapCompanion>(*this, *m_mapAction, *m_ticks, [this] {
        return MapInputFromState(m_engine->state(), m_exactSolutionAction->isChecked(),
                                 m_showMidpointAction->isChecked());
    });
    addEntry(view, QStringLiteral("Batch..."), QStringLiteral("MenuBatch"),
             &Calcolatrice::MenuBatch_Click);

    QMenu* datum = bar->addMenu(QStringLiteral("&Datum"));
    datum->setObjectName(QStringLiteral("MenuEllissoide"));
    m_datumMenu = new DatumMenuActions(*datum, *m_engine, [this] { refresh(); });

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("MenuOpzioni"));
    m_autoStartAction =
        addEntry(options, QStringLiteral("Automatic startup"), QStringLiteral("MenuAvvioAuto"),
                 &Calcolatrice::MenuAvvioAuto_Click);
    m_autoStartAction->setCheckable(true);
    options->addSeparator()->setObjectName(QStringLiteral("MenuNull1"));
    addEntry(options, QStringLiteral("Make shortcut on the desktop"),
             QStringLiteral("MenuCreaCollegamento"), &Calcolatrice::MenuCreaCollegamento_Click);
    addEntry(options, QStringLiteral("Remove shortcut from the desktop"),
             QStringLiteral("MenuEliminaCollegamento"),
             &Calcolatrice::MenuEliminaCollegamento_Click);
    options->addSeparator()->setObjectName(QStringLiteral("MenuNullExactSolution"));
    m_exactSolutionAction =
        addEntry(options, QStringLiteral("Exact solution near antipodes"),
                 QStringLiteral("MenuExactSolution"), &Calcolatrice::MenuExactSolution_Click);
    m_exactSolutionAction->setCheckable(true);

    QMenu* help = bar->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("MenuAbout0"));
    addEntry(help, QStringLiteral("About program..."), QStringLiteral("MenuAbout2"),
             &Calcolatrice::MenuAbout2_Click, QKeySequence(Qt::Key_F1));
}

void Calcolatrice::Form_Load() {
    m_about = std::make_unique<Frm_About>(*this, m_services.mail);
    m_about->hide();
    m_highlighter.reset();

    m_engine->StartUp();
    applyRememberedExtras();
    refresh();

    m_tray = std::make_unique<desktop::TrayIcona>(
        *this, windowIcon(),
        desktop::TrayTip(QString::fromUtf8(app::kProductName), QString::fromUtf8(app::kVersionText),
                         QString::fromUtf8(app::kLegalNotice)));
    m_tray->CreateTrayMenu();
    m_tray->AddTrayIcon();
    const bool autoStart = desktop::IsAutoStartEnabled(m_services.autoStart);
    m_autoStartTicked = autoStart;
    m_autoStartAction->setChecked(autoStart);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    // Without a notification area there is nothing to bring the window back: show it.
    m_tray->HideToTray(autoStart && m_tray->isAvailable());
    m_map->restore();
    m_engine->FinishStartUp();
}

void Calcolatrice::bringForward() {
    if (m_tray) {
        m_tray->HideToTray(false);
    } else {
        show();
        raise();
        activateWindow();
    }
}

void Calcolatrice::Lab_Sel_MouseMove(std::int16_t index) {
    m_highlighter.hover(KeyBlock::Selector, index);
}

void Calcolatrice::Img_Sel_Null_MouseMove() {
    m_highlighter.hover(KeyBlock::Selector, std::nullopt);
}

void Calcolatrice::Lab_Num_MouseMove(std::int16_t index) {
    m_highlighter.hover(KeyBlock::Keypad, index);
}

void Calcolatrice::Img_Num_Null_MouseMove() { m_highlighter.hover(KeyBlock::Keypad, std::nullopt); }

void Calcolatrice::MenuGrassetto_Click() { m_highlighter.setBold(m_boldAction->isChecked()); }

void Calcolatrice::MenuSottolinea_Click() {
    m_highlighter.setUnderlineOnHover(m_underlineAction->isChecked());
}

void Calcolatrice::MenuCopia_Click() {
    const std::string text = m_engine->MenuCopia_Click();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

void Calcolatrice::MenuIncolla_Click() {
    m_engine->MenuIncolla_Click(QGuiApplication::clipboard()->text().toStdString());
    refresh();
}

void Calcolatrice::MenuInviaCalc_Click() {
    if (const std::optional<std::string> text = m_engine->MenuInviaCalc_Click()) {
        m_services.calculator.typeNumber(QString::fromStdString(*text));
    }
}

void Calcolatrice::MenuAvvioAuto_Click() {
    desktop::MenuAvvioAuto_Click(m_services.autoStart, m_warnings, m_engine->state().Loading,
                                 m_autoStartTicked);
    m_autoStartAction->setChecked(m_autoStartTicked);
}

void Calcolatrice::MenuCreaCollegamento_Click() { m_services.shortcut.create(); }

void Calcolatrice::MenuEliminaCollegamento_Click() { m_services.shortcut.remove(); }

void Calcolatrice::MenuAbout2_Click() {
    if (m_about) {
        m_about->showOver();
    }
}

void Calcolatrice::applyRememberedExtras() {
    m_showAzimuthsAction->setChecked(m_ticks->value(kShowAzimuthsKey));
    m_exactSolutionAction->setChecked(m_ticks->value(kExactSolutionKey));
    m_showMidpointAction->setChecked(m_ticks->value(kShowMidpointKey));
    m_engine->SetShowAzimuths(m_showAzimuthsAction->isChecked());
    m_engine->SetExactNearAntipodes(m_exactSolutionAction->isChecked());
    m_engine->SetShowMidpoint(m_showMidpointAction->isChecked());
}

void Calcolatrice::MenuShowAzimuths_Click() {
    const bool ticked = m_showAzimuthsAction->isChecked();
    m_engine->SetShowAzimuths(ticked);
    m_ticks->remember(kShowAzimuthsKey, ticked);
}

void Calcolatrice::MenuExactSolution_Click() {
    const bool ticked = m_exactSolutionAction->isChecked();
    m_engine->SetExactNearAntipodes(ticked);
    m_ticks->remember(kExactSolutionKey, ticked);
    m_map->update();
}

void Calcolatrice::MenuMap_Click() { m_map->follow(); }

QAction* Calcolatrice::datumAction(int index) const { return m_datumMenu->action(index); }

MapWindow* Calcolatrice::mapWindow() const { return m_map->window(); }

void Calcolatrice::MenuShowMidpoint_Click() {
    const bool ticked = m_showMidpointAction->isChecked();
    m_engine->SetShowMidpoint(ticked);
    m_ticks->remember(kShowMidpointKey, ticked);
    m_map->update();
}

void Calcolatrice::MenuDestination_Click() {
    AskDestination(this, *m_engine);
    refresh();
}

void Calcolatrice::MenuPastePointA_Click() {
    m_engine->MenuPastePoint_Click(calc::kPointA,
                                   QGuiApplication::clipboard()->text().toStdString());
    refresh();
}

void Calcolatrice::MenuPastePointB_Click() {
    m_engine->MenuPastePoint_Click(calc::kPointB,
                                   QGuiApplication::clipboard()->text().toStdString());
    refresh();
}

void Calcolatrice::MenuSaveHistory_Click() { SaveHistoryAs(this, m_engine->history(), m_warnings); }

void Calcolatrice::MenuBatch_Click() {
    if (!m_batchWindow) m_batchWindow = std::make_unique<BatchWindow>(this);
    m_batchWindow->showWith(BatchDefaultsFrom(*m_engine, m_exactSolutionAction->isChecked()));
}

QLabel* Calcolatrice::display() const { return m_display; }

QWidget* Calcolatrice::face() const { return m_face; }

void Calcolatrice::historyLineAppended() { m_historyModel->lineAppended(); }

void Calcolatrice::historyCleared() { m_historyModel->cleared(); }

void Calcolatrice::makeLineCurrent(int line) { m_history->makeLineCurrentLater(line); }

void Calcolatrice::deselectAllLines() { m_history->selectionModel()->clearSelection(); }

std::vector<std::size_t> Calcolatrice::selectedLines() const { return m_history->selectedLines(); }

void Calcolatrice::processPendingEvents() {
    // Paints and timers only: a key or click typed meanwhile waits its turn, so input is acted
    // on in the order it was given.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Calcolatrice::refresh() {
    const QString text = QString::fromStdString(m_engine->displayText());
    m_display->showText(text);
    // setEnabled leaves a key that is already so alone (no change event, no repaint).
    for (KeyLabel* key : m_keypadKeys) key->setEnabled(m_engine->isKeypadKeyEnabled(key->index()));
    for (KeyLabel* key : m_selectorKeys)
        key->setEnabled(m_engine->isSelectorKeyEnabled(key->index()));
    for (std::size_t i = 0; i < m_pictures.size(); ++i) {
        const auto which = static_cast<calc::Indicator>(i);
        const int picture = m_engine->indicatorPicture(which);
        if (picture != m_shownPictures[i]) {
            m_pictures[i]->setPicture(CalculatorFace::indicatorPicturePath(which, picture));
            m_pictures[i]->setWords(indicatorWords(picture));
            m_shownPictures[i] = picture;
        }
    }
    m_datumMenu->sync();
    m_map->update();
}

void Calcolatrice::focusMainWindow() {
    if (!isActiveWindow()) {
        activateWindow();
    }
    if (!m_history->hasFocus()) {
        m_history->setFocus();
    }
}

bool Calcolatrice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_history->viewport() && event->type() == QEvent::MouseButtonPress) {
        m_history->applyCurrentLine();
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            Lst_Storico_MouseDown(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Calcolatrice::Lst_Storico_MouseDown(const QPoint& globalPos) { m_editMenu->popup(globalPos); }

void Calcolatrice::openHistoryMenuFromKeyboard() {
    QWidget* viewport = m_history->viewport();
    const QRect line = m_history->visualRect(m_history->currentIndex());
    const QPoint at =
        viewport->rect().contains(line.bottomLeft()) ? line.bottomLeft() : QPoint(0, 0);
    m_editMenu->popup(viewport->mapToGlobal(at));
}

void Calcolatrice::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_QueryUnload(cancel);
    event->setAccepted(!cancel);
}

void Calcolatrice::Form_QueryUnload(bool& cancel) {
    // Every close request, whatever its origin, ends the program at once; nothing is saved.
    cancel = true;
    if (m_tray) {
        m_tray->EndProgram();
    }
    QCoreApplication::exit(0);
}

}  // namespace velmora::ui
