#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/calculator_view.h"
#include "calculator/custom_datum.h"
#include "calculator/datum_choice.h"
#include "calculator/datum_menu.h"
#include "calculator/distance_report.h"
#include "calculator/history.h"
#include "calculator/key_panel.h"
#include "calculator/keyboard.h"
#include "calculator/keys.h"
#include "calculator/number_text.h"
#include "calculator/state.h"

namespace velmora::calc {

// The points of "Paste point A" and "Paste point B".
inline constexpr std::int16_t kPointA = 0;
inline constexpr std::int16_t kPointB = 1;

// The calculator: its state, the display text, the history lines, the enabled keys, the
// indicator pictures and the datum ticks, and every action under its own name. Keys,
// keyboard, menus and start-up all come through these handlers with the key or entry index;
// each handler passes the key's role to the component that owns it (entry, coordinates,
// distance report, key panel, datum choice, history, clipboard) and tells the window.
class Calculator {
public:
    Calculator(CalculatorView& view, UserPrompts& prompts, UserLocale locale);

    // Start-up of everything the engine owns, in order: Loading on, selections to none,
    // separators, sign and pi keys off, history cleared with "Clear", WGS-84 through the datum
    // menu, "Latitude A", "km" and deg/min/sec pressed, coordinates reset. Loading stays on
    // until FinishStartUp, so the window can finish its own steps in between.
    void StartUp();
    void FinishStartUp();

    // Keypad key 0..21: edits the display, stores it into the active field with Enter,
    // computes the distance with Calculate; a failure writes a line ending in "Error" and shows
    // "Error". A shown distance gives way to every key but Clear and the marks, even a
    // disabled one. Any other index does nothing.
    void Lab_Num_Click(std::int16_t index);
    // Deselects every history line and leaves none current, so that Copy takes the display.
    void Display_Click();
    // The sign and pi keys are disabled for good; nothing enables them again.
    void DisableSignAndPiKeys();
    // Selector key 0..13: field, hemisphere, unit or format. A hemisphere key of the other
    // axis is disabled and ignored. Every press, any index, ends with a redraw, the newest
    // line made current and the focus on the main window.
    void Lab_Sel_Click(std::int16_t index);
    // A typed character (UTF-16 code; the degree sign is 176) run as its key; others ignored.
    void Form_KeyPress(std::uint16_t charCode);
    // Delete and F2..F8 with exactly the modifier state of the key's row; others ignored.
    void Form_KeyDown(std::uint16_t keyCode, std::uint16_t shiftState);  // 1 Shift, 2 Ctrl, 4 Alt
    // Datum menu entry 0..18. The ticked entry again does nothing; "Other..." always asks,
    // and a refused definition puts WGS-84 in its place. A shown distance is computed again
    // on the new datum. Separators and other indices do nothing.
    void MenuDatum_Click(std::int16_t index);

    // The extras, off until the window sets them from its ticks. With azimuths on, every
    // distance line (Calculate, a datum that recomputes, a unit that re-expresses) is followed
    // by "Azimuth at A: " and "Azimuth at B: " lines in the current coordinate format. With the
    // exact solution on, a distance whose Vincenty iteration does not settle is solved exactly
    // and its lines end in " (exact)".
    void SetShowAzimuths(bool on);
    void SetExactNearAntipodes(bool on);
    // With the midpoint on, every distance line is followed (behind the azimuth lines) by
    // "Midpoint: " and the point halfway along the geodesic in the current coordinate format,
    // and a failed distance by "Midpoint: none" (see midpoint_line.h).
    void SetShowMidpoint(bool on);
    // Paste point kPointA or kPointB: the text as one position, latitude first, entered into
    // both fields of the point with the keys a user would press (field, hemisphere, "C", the
    // angle in the current format, Enter). A text that is no position is refused in a message
    // box and changes nothing. Other point indices do nothing.
    void MenuPastePoint_Click(std::int16_t point, std::string_view clipboardText);
    // "Destination from A...": whether Latitude A and Longitude A are there to start from;
    // when not, a message box says why and nothing changes. The window asks before its dialog.
    bool MenuDestination_CanStart();
    // The dialog's azimuth at A (current coordinate format) and distance (current unit): one
    // "Destination: " line, B entered exactly as Paste point B enters it, one "Azimuth at B: "
    // line (see destination.h). Input the dialog would refuse, or a direct that fails, is
    // refused in a message box and changes nothing.
    void MenuDestination_Click(std::string_view azimuthText, std::string_view distanceText);

    // The text to put on the clipboard: the selected lines, each behind CR LF, or the display.
    std::string MenuCopia_Click() const;
    // Puts a pasted number on the display; anything else changes nothing.
    void MenuIncolla_Click(std::string_view clipboardText);
    // The text to type into the system calculator, in the user's locale; nullopt: nothing.
    std::optional<std::string> MenuInviaCalc_Click() const;

    const CalculatorState& state() const { return m_state; }
    const std::string& displayText() const { return m_display; }
    const std::vector<std::string>& history() const { return m_history.lines(); }
    bool isKeypadKeyEnabled(int index) const { return m_panel.isKeypadKeyEnabled(index); }
    bool isSelectorKeyEnabled(int index) const { return m_panel.isSelectorKeyEnabled(index); }
    // 0 for the initial all-grey picture, else the 1-based picture-list index.
    int indicatorPicture(Indicator indicator) const { return m_panel.picture(indicator); }
    bool isDatumTicked(int index) const { return m_datum.isTicked(index); }

private:
    void press(KeyTarget key);
    void runKeypadAction(std::int16_t index);
    void failurePath(std::int16_t index);
    void enterCoordinate();
    void calculate();
    void chooseUnit(std::int16_t unit);
    void chooseFormat(std::int16_t format);
    void enterPoint(std::int16_t point, double latitudeDeg, double longitudeDeg);
    void enterPastedCoordinate(std::int16_t fieldKey, std::int16_t hemisphereKey, double degrees);

    CalculatorView& m_view;
    UserPrompts& m_prompts;
    UserLocale m_locale;
    CalculatorState m_state;
    std::string m_display = "0";
    History m_history;
    KeyPanel m_panel;
    DatumChoice m_datum;
    DistanceReporter m_report;
};

}  // namespace velmora::calc
