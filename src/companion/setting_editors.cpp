#include "companion/setting_editors.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <cstdio>

#include "app/form_storage.h"
#include "platform/error.h"
#include "platform/file_dialog.h"
#include "platform/numbers.h"

namespace quor {
namespace {

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// A value that must be a number the reader can convert.
class NumberEditor : public SettingEditor {
public:
    NumberEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), edit_(new QLineEdit(parent)) {
        edit_->setMaximumWidth(90);
        QObject::connect(edit_, &QLineEdit::textEdited, [this] {
            mark();
            notify();
        });
    }
    QWidget* widget() override { return edit_; }
    void load(const std::string& text) override {
        edit_->setText(fromUtf8(text));
        mark();
    }
    std::string value() const override { return edit_->text().toStdString(); }
    std::string problem() const override {
        try {
            floatTextToInt(value());
            return {};
        } catch (const Error& e) {
            return e.what();
        }
    }

private:
    // A value the reader would refuse is tinted.
    void mark() { edit_->setStyleSheet(problem().empty() ? QString() : QStringLiteral("background: #ffd0d0")); }
    QLineEdit* edit_;
};

class IntegerEditor : public SettingEditor {
public:
    IntegerEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), spin_(new QSpinBox(parent)) {
        spin_->setRange(key.minimum, key.maximum);
        QObject::connect(spin_, &QSpinBox::valueChanged, [this] { notify(); });
    }
    QWidget* widget() override { return spin_; }
    void load(const std::string& text) override {
        const QSignalBlocker quiet(spin_);
        spin_->setValue(readerInteger(text, readerInteger(key().defaultValue, 0)));
    }
    std::string value() const override { return std::to_string(spin_->value()); }

private:
    QSpinBox* spin_;
};

class ChoiceEditor : public SettingEditor {
public:
    ChoiceEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), box_(new QComboBox(parent)) {
        for (const KeyChoice& c : key.choices) box_->addItem(QString::fromUtf8(c.label), c.value);
        QObject::connect(box_, &QComboBox::currentIndexChanged, [this] { notify(); });
    }
    QWidget* widget() override { return box_; }
    void load(const std::string& text) override {
        const QSignalBlocker quiet(box_);
        const int v = readerInteger(text, readerInteger(key().defaultValue, 0));
        int index = box_->findData(v);
        if (index < 0) {
            // A value of no listed meaning stays what it is until changed.
            box_->addItem(QString::number(v), v);
            index = box_->count() - 1;
        }
        box_->setCurrentIndex(index);
    }
    std::string value() const override { return std::to_string(box_->currentData().toInt()); }

private:
    QComboBox* box_;
};

class FlagEditor : public SettingEditor {
public:
    FlagEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), check_(new QCheckBox(parent)) {
        QObject::connect(check_, &QCheckBox::toggled, [this] { notify(); });
    }
    QWidget* widget() override { return check_; }
    void load(const std::string& text) override {
        const QSignalBlocker quiet(check_);
        check_->setChecked(text == key().trueText);
    }
    std::string value() const override { return check_->isChecked() ? key().trueText : key().falseText; }

private:
    QCheckBox* check_;
};

class TextEditor : public SettingEditor {
public:
    TextEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), edit_(new QLineEdit(parent)) {
        QObject::connect(edit_, &QLineEdit::textEdited, [this] { notify(); });
    }
    QWidget* widget() override { return edit_; }
    void load(const std::string& text) override { edit_->setText(fromUtf8(text)); }
    std::string value() const override { return edit_->text().toStdString(); }

private:
    QLineEdit* edit_;
};

// The families fontconfig offers, fixed-pitch ones first; the names DOS
// programs' settings use come first of all, with what they resolve to.
class FontNameEditor : public SettingEditor {
public:
    FontNameEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), box_(new QComboBox(parent)) {
        const QStringList installed = QFontDatabase::families();
        for (const char* alias : {"Courier New", "Arial", "Times New Roman"})
            if (!installed.contains(alias)) addFamily(alias, -1, true);
        QStringList fixed, proportional;
        for (const QString& family : installed) (QFontDatabase::isFixedPitch(family) ? fixed : proportional) << family;
        for (const QString& family : fixed + proportional) addFamily(family, -1, false);
        box_->setMaxVisibleItems(20);
        QObject::connect(box_, &QComboBox::currentIndexChanged, [this] { notify(); });
    }
    QWidget* widget() override { return box_; }
    void load(const std::string& text) override {
        const QSignalBlocker quiet(box_);
        const QString family = fromUtf8(text);
        if (box_->findData(family) < 0) addFamily(family, 0, true);
        box_->setCurrentIndex(box_->findData(family));
    }
    std::string value() const override { return box_->currentData().toString().toStdString(); }

private:
    // A name fontconfig does not list is shown with the family it resolves to.
    void addFamily(const QString& family, int at, bool resolve) {
        if (box_->findData(family) >= 0) return;
        const QString resolved = resolve ? QFontInfo(QFont(family)).family() : family;
        const QString shown = resolved.compare(family, Qt::CaseInsensitive) == 0 ? family : family + " → " + resolved;
        box_->insertItem(at < 0 ? box_->count() : at, shown, family);
    }
    QComboBox* box_;
};

class ColourEditor : public SettingEditor {
public:
    ColourEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), button_(new QPushButton(parent)) {
        button_->setMaximumWidth(90);
        QObject::connect(button_, &QPushButton::clicked, [this] {
            const QColor chosen = QColorDialog::getColor(colour(), button_, "Цвет текста");
            if (!chosen.isValid()) return;
            value_ = (value_ & 0xFF000000u) | unsigned(chosen.red()) | unsigned(chosen.green()) << 8 |
                     unsigned(chosen.blue()) << 16;
            show();
            notify();
        });
    }
    QWidget* widget() override { return button_; }
    void load(const std::string& text) override {
        value_ = static_cast<unsigned>(readerInteger(text, 0));
        show();
    }
    std::string value() const override {
        char text[16];
        std::snprintf(text, sizeof text, "0x%06X", value_);
        return text;
    }

private:
    QColor colour() const { return QColor(int(value_ & 0xFF), int(value_ >> 8 & 0xFF), int(value_ >> 16 & 0xFF)); }
    void show() {
        const QColor c = colour();
        button_->setText(c.name().toUpper());
        button_->setStyleSheet(QString("background: %1; color: %2").arg(c.name(), c.lightness() < 128 ? "white" : "black"));
    }
    QPushButton* button_;
    unsigned value_ = 0;
};

class FontStyleEditor : public SettingEditor {
public:
    FontStyleEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), box_(new QWidget(parent)) {
        auto* row = new QHBoxLayout(box_);
        row->setContentsMargins(0, 0, 0, 0);
        const char* names[] = {"жирный", "курсив", "подчёркнутый", "зачёркнутый"};
        for (int i = 0; i < 4; ++i) {
            checks_[i] = new QCheckBox(QString::fromUtf8(names[i]), box_);
            row->addWidget(checks_[i]);
            QObject::connect(checks_[i], &QCheckBox::toggled, [this] { notify(); });
        }
        row->addStretch();
    }
    QWidget* widget() override { return box_; }
    void load(const std::string& text) override {
        const int v = readerInteger(text, 0);
        other_ = v & ~0xF;
        for (int i = 0; i < 4; ++i) {
            const QSignalBlocker quiet(checks_[i]);
            checks_[i]->setChecked(v & (1 << i));
        }
    }
    std::string value() const override {
        int v = other_;
        for (int i = 0; i < 4; ++i)
            if (checks_[i]->isChecked()) v |= 1 << i;
        return std::to_string(v);
    }

private:
    QWidget* box_;
    QCheckBox* checks_[4];
    int other_ = 0;
};

class PictureFileEditor : public SettingEditor {
public:
    PictureFileEditor(const SettingKey& key, QWidget* parent) : SettingEditor(key), box_(new QWidget(parent)) {
        auto* row = new QHBoxLayout(box_);
        row->setContentsMargins(0, 0, 0, 0);
        edit_ = new QLineEdit(box_);
        auto* choose = new QToolButton(box_);
        choose->setText("…");
        choose->setObjectName(QString::fromUtf8(key.key) + "Choose");
        row->addWidget(edit_, 1);
        row->addWidget(choose);
        QObject::connect(edit_, &QLineEdit::textEdited, [this] { notify(); });
        QObject::connect(choose, &QToolButton::clicked, [this] {
            QFileDialog chooser(box_, "Рисунок логотипа", QFileInfo(edit_->text()).absolutePath(),
                                "Рисунки (*.bmp *.ico *.jpg *.jpeg *.wmf *.emf);;Все файлы (*)");
            chooser.setFileMode(QFileDialog::ExistingFile);
            fitFileDialog(chooser);
            if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
            edit_->setText(chooser.selectedFiles().front());
            notify();
        });
    }
    QWidget* widget() override { return box_; }
    void load(const std::string& text) override {
        loaded_ = text;
        edit_->setText(QFile::decodeName(QByteArray::fromStdString(text)));
        loadedText_ = edit_->text();
    }
    // File names are the file system's bytes: one not touched keeps its own.
    std::string value() const override {
        return edit_->text() == loadedText_ ? loaded_ : QFile::encodeName(edit_->text()).toStdString();
    }

private:
    QWidget* box_;
    QLineEdit* edit_;
    std::string loaded_;
    QString loadedText_;
};

}  // namespace

int readerInteger(const std::string& text, int fallback) {
    std::int32_t v = 0;
    return parseIniInteger(text, v) ? v : fallback;
}

std::unique_ptr<SettingEditor> makeSettingEditor(const SettingKey& key, QWidget* parent) {
    switch (key.kind) {
        case KeyKind::number: return std::make_unique<NumberEditor>(key, parent);
        case KeyKind::integer: return std::make_unique<IntegerEditor>(key, parent);
        case KeyKind::choice: return std::make_unique<ChoiceEditor>(key, parent);
        case KeyKind::flag: return std::make_unique<FlagEditor>(key, parent);
        case KeyKind::text: return std::make_unique<TextEditor>(key, parent);
        case KeyKind::fontName: return std::make_unique<FontNameEditor>(key, parent);
        case KeyKind::colour: return std::make_unique<ColourEditor>(key, parent);
        case KeyKind::fontStyle: return std::make_unique<FontStyleEditor>(key, parent);
        case KeyKind::pictureFile: return std::make_unique<PictureFileEditor>(key, parent);
    }
    throw Error("Неизвестный вид параметра");
}

}  // namespace quor
