#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <array>

#include "calculator/calculator.h"

namespace velmora::ui {

namespace {

// By key index, in the order of the keypad's and the selector's key tables.
constexpr std::array<const char*, calc::kKeypadKeyCount> kKeypadNames{
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "Decimal point", "Plus minus", "Back", "C", "Clear",
    "Degrees", "Minutes", "Seconds", "Reset A and B", "Enter", "pi", "Calculate",
};
constexpr std::array<const char*, calc::kSelectorKeyCount> kSelectorNames{
    "Latitude A", "Latitude B", "North", "South",
    "Longitude A", "Longitude B", "West", "East",
    "Kilometres", "Statute miles", "Nautical miles",
    "Degrees", "Degrees and minutes", "Degrees, minutes and seconds",
};
// By picture list index, 1-based; 0 is the grey picture.
constexpr std::array<const char*, 15> kIndicatorWords{
    "none chosen",
    "Latitude A", "Longitude A", "Latitude B", "Longitude B",
    "kilometres", "statute miles", "nautical miles",
    "North", "South", "West", "East",
    "degrees", "degrees / minutes", "degrees / minutes / seconds",
};

template <std::size_t N>
QString lookUp(const std::array<const char*, N>& table, int index) {
    if (index < 0 || index >= static_cast<int>(N)) {
        return {};
    }
    return QString::fromUtf8(table[static_cast<std::size_t>(index)]);
}

// A key as a push button: pressed through its action exactly as by a click.
class KeyAccessible : public QAccessibleWidget {
public:
    explicit KeyAccessible(KeyLabel* key) : QAccessibleWidget(key, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return key()->objectName() == QLatin1String("Lab_Sel") ? selectorKeyName(key()->index())
                                                                    : keypadKeyName(key()->index());
        case QAccessible::Description:
            return key()->toolTip();
        default:
            return QAccessibleWidget::text(t);
        }
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            key()->press();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    KeyLabel* key() const { return static_cast<KeyLabel*>(widget()); }
};

// Read-only text: what a screen reader reads of the display and the indicators.
class ReadOnlyTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadOnlyTextAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}

    virtual QString content() const = 0;

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    using QAccessibleWidget::text;
    QString text(int startOffset, int endOffset) const override {
        return content().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(content().size()); }
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }
};

class DisplayAccessible : public ReadOnlyTextAccessible {
public:
    explicit DisplayAccessible(DisplayLabel* display) : ReadOnlyTextAccessible(display) {}
    QString content() const override { return static_cast<const DisplayLabel*>(widget())->text(); }
    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return QStringLiteral("Display");
        case QAccessible::Value:
            return content();
        default:
            return ReadOnlyTextAccessible::text(t);
        }
    }
};

class IndicatorAccessible : public ReadOnlyTextAccessible {
public:
    explicit IndicatorAccessible(IndicatorBox* box) : ReadOnlyTextAccessible(box) {}
    const IndicatorBox* box() const { return static_cast<const IndicatorBox*>(widget()); }
    QString content() const override { return box()->words(); }
    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return box()->what() + QStringLiteral(": ") + box()->words();
        case QAccessible::Description:
            return box()->what();
        case QAccessible::Value:
            return content();
        default:
            return ReadOnlyTextAccessible::text(t);
        }
    }
};

QAccessibleInterface* makeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("velmora::ui::KeyLabel")) {
        return new KeyAccessible(static_cast<KeyLabel*>(object));
    }
    if (className == QLatin1String("velmora::ui::DisplayLabel")) {
        return new DisplayAccessible(static_cast<DisplayLabel*>(object));
    }
    if (className == QLatin1String("velmora::ui::IndicatorBox")) {
        return new IndicatorAccessible(static_cast<IndicatorBox*>(object));
    }
    return nullptr;
}

// Tells assistive technology that the text of a read-only widget changed from before to after.
void announceText(QObject* object, const QString& before, const QString& after) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleTextUpdateEvent update(object, 0, before, after);
    QAccessible::updateAccessibility(&update);
    QAccessibleValueChangeEvent value(object, after);
    QAccessible::updateAccessibility(&value);
}

}  // namespace

QString keypadKeyName(int index) {
    return lookUp(kKeypadNames, index);
}

QString selectorKeyName(int index) {
    return lookUp(kSelectorNames, index);
}

QString indicatorWords(int picture) {
    return lookUp(kIndicatorWords, picture);
}

void installAccessibleInterfaces() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&makeAccessible);
        return true;
    }();
}

DisplayLabel::DisplayLabel(QWidget* parent) : ClickableLabel(parent) {}

void DisplayLabel::showText(const QString& text) {
    const QString before = this->text();
    if (text == before) {
        return;
    }
    setText(text);
    announceText(this, before, text);
}

IndicatorBox::IndicatorBox(const QString& what, QWidget* parent) : PictureBox(parent), m_what(what) {}

void IndicatorBox::setWords(const QString& words) {
    const QString before = m_words;
    if (words == before) {
        return;
    }
    m_words = words;
    if (QAccessible::isActive()) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
    announceText(this, before, words);
}

}  // namespace velmora::ui
