#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <span>
#include <string_view>

#include "calculator/calculator.h"

namespace velmora::ui {

namespace {

constexpr char kNoPictureWords[] = "none chosen";  // the grey picture, picture 0

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString keyName(KeyBlock block, int index) {
    const std::span<const calc::KeyFace> table = keyTable(block);
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        return {};
    }
    return fromView(table[static_cast<std::size_t>(index)].name);
}

// A key as a push button: pressed through its action exactly as by a click.
class KeyAccessible : public QAccessibleWidget {
public:
    explicit KeyAccessible(KeyLabel* key) : QAccessibleWidget(key, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name: return fromView(key()->design().name);
        case QAccessible::Description: return key()->toolTip();
        default: return QAccessibleWidget::text(t);
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
    explicit ReadOnlyTextAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::StaticText) {}

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
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
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
        case QAccessible::Name: return QStringLiteral("Display");
        case QAccessible::Value: return content();
        default: return ReadOnlyTextAccessible::text(t);
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
        case QAccessible::Name: return box()->what() + QStringLiteral(": ") + box()->words();
        case QAccessible::Description: return box()->what();
        case QAccessible::Value: return content();
        default: return ReadOnlyTextAccessible::text(t);
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

QString keypadKeyName(int index) { return keyName(KeyBlock::Keypad, index); }

QString selectorKeyName(int index) { return keyName(KeyBlock::Selector, index); }

QString indicatorWords(int picture) {
    if (picture == 0) {
        return QString::fromLatin1(kNoPictureWords);
    }
    const int key = calc::SelectorKeyOfPicture(picture);
    return key < 0 ? QString()
                   : fromView(calc::kSelectorKeys[static_cast<std::size_t>(key)].pictureWords);
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

IndicatorBox::IndicatorBox(const QString& what, QWidget* parent)
    : PictureBox(parent), m_what(what) {}

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
