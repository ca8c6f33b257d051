// The settings dialog under the offscreen platform: it shows what the
// program's reader reads, OK writes just the changed keys, Cancel nothing.

#include "companion/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QFile>

#include "app/form_storage.h"
#include "companion/settings_keys.h"
#include "companion_fixture.h"

namespace quor::test {
namespace {

const std::string kSettings =
    "; shop printer\r\n"
    "[Other]\r\n"
    "FontSize=99\r\n"
    "[quor print]\r\n"
    "fontsize = 12\r\n"
    "TextLeft=12,7\r\n"
    "Preview=True\r\n"
    "Picture1Show=3\r\n"
    "Copies=abc\r\n"
    "\r\n";

class SettingsDialogTest : public CompanionTest {
protected:
    SettingsDialog& open(const std::string& file) {
        dialog_ = std::make_unique<SettingsDialog>(file, "");
        return *dialog_;
    }
    template <typename Widget>
    Widget* field(const char* key) {
        auto* w = dialog_->findChild<Widget*>(key);
        EXPECT_NE(w, nullptr) << key;
        return w;
    }
    void changeSome() {
        field<QSpinBox>("FontSize")->setValue(14);
        auto* top = field<QLineEdit>("TextTop");
        top->setText("40,5");
        emit top->textEdited(top->text());
        field<QWidget>("FontStyle")->findChildren<QCheckBox*>()[0]->setChecked(true);
    }

    std::unique_ptr<SettingsDialog> dialog_;
};

TEST_F(SettingsDialogTest, ShowsWhatTheReaderReads) {
    open(write("s.ini", kSettings));
    EXPECT_EQ(field<QSpinBox>("FontSize")->value(), 12);
    EXPECT_EQ(field<QLineEdit>("TextLeft")->text(), "12,7");
    EXPECT_EQ(field<QLineEdit>("TextTop")->text(), "36");
    EXPECT_TRUE(field<QCheckBox>("Preview")->isChecked());
    EXPECT_EQ(field<QComboBox>("Picture1Show")->currentData().toInt(), 3);
    EXPECT_EQ(field<QComboBox>("Orientation")->currentData().toInt(), 0);
    // Not a number: the reader's default.
    EXPECT_EQ(field<QSpinBox>("Copies")->value(), 1);
    EXPECT_EQ(field<QComboBox>("FontName")->currentData().toString(), "Courier New");
    EXPECT_TRUE(dialog_->changedEntries().empty());
    // Every key of the table has its editor.
    for (const SettingKey& key : settingKeys()) EXPECT_NE(dialog_->findChild<QWidget*>(key.key), nullptr) << key.key;
}

TEST_F(SettingsDialogTest, OkWritesJustTheChangedKeysCancelNothing) {
    struct Case {
        bool ok;
        std::string expected;
    };
    const Case cases[] = {
        {false, kSettings},
        {true,
         "; shop printer\r\n[Other]\r\nFontSize=99\r\n[quor print]\r\nfontsize = 14\r\nTextLeft=12,7\r\n"
         "Preview=True\r\nPicture1Show=3\r\nCopies=abc\r\nFontStyle=1\r\nTextTop=40,5\r\n\r\n"},
    };
    for (const Case& c : cases) {
        const std::string file = write("s.ini", kSettings);
        open(file);
        changeSome();
        if (c.ok)
            dialog_->accept();
        else
            dialog_->reject();
        EXPECT_EQ(contents(file), c.expected) << (c.ok ? "OK" : "Cancel");
        EXPECT_EQ(dialog_->result(), c.ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(dialog_->resultPath(), file);
    }
    TFormStorage reader("TfQuorPrint");
    reader.setIniSection(kSettingsSection);
    reader.setIniFileName(path("s.ini"));
    EXPECT_EQ(reader.ReadInteger("FontSize", 0), 14);
    EXPECT_EQ(reader.ReadNumber("TextTop", "0"), 40);
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(SettingsDialogTest, OkWithoutChangesLeavesAMissingFileMissing) {
    const std::string file = path("none.ini");
    open(file).accept();
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
}

TEST_F(SettingsDialogTest, SaveAsWritesAnotherFileAndMakesItTheResult) {
    const std::string file = write("s.ini", kSettings);
    open(file);
    field<QCheckBox>("Preview")->setChecked(false);
    const std::string other = path("other.ini");
    ASSERT_TRUE(dialog_->saveAs(other));
    EXPECT_EQ(dialog_->resultPath(), other);
    EXPECT_EQ(contents(file), kSettings);
    TFormStorage reader("TfQuorPrint");
    reader.setIniSection(kSettingsSection);
    reader.setIniFileName(other);
    EXPECT_EQ(reader.ReadString("Preview", ""), "False");
    EXPECT_EQ(reader.ReadInteger("FontSize", 0), 12);

    // Without the file it was opened with, the new one gets every value.
    const std::string gone = write("gone.ini", "[Quor Print]\nFontSize=16\n");
    open(gone);
    QFile::remove(QString::fromStdString(gone));
    ASSERT_TRUE(dialog_->saveAs(path("rescued.ini")));
    reader.setIniFileName(path("rescued.ini"));
    EXPECT_EQ(reader.ReadInteger("FontSize", 0), 16);
    EXPECT_EQ(reader.ReadString("FontName", ""), "Courier New");
}

TEST_F(SettingsDialogTest, UnwritableChangesKeepTheDialogOpenAndTheFileWhole) {
    struct Case {
        const char* what;
        std::function<void(const std::string& file)> spoil;
        const char* message;
    };
    const Case cases[] = {
        {"read-only",
         [](const std::string& f) { QFile::setPermissions(QString::fromStdString(f), QFile::ReadOwner); },
         "только для чтения"},
        {"vanished", [](const std::string& f) { QFile::remove(QString::fromStdString(f)); }, "больше не существует"},
        {"not a number",
         [this](const std::string&) {
             auto* left = field<QLineEdit>("TextLeft");
             left->setText("12 mm");
             emit left->textEdited(left->text());
         },
         "is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        const std::string file = write(std::string(c.what) + ".ini", kSettings);
        open(file);
        changeSome();
        c.spoil(file);
        messages_.clear();
        dialog_->accept();
        EXPECT_NE(dialog_->result(), QDialog::Accepted) << c.what;
        ASSERT_EQ(messages_.messages().size(), 1u) << c.what;
        EXPECT_NE(messages_.messages()[0].text.find(c.message), std::string::npos) << messages_.messages()[0].text;
        if (QFile::exists(QString::fromStdString(file))) EXPECT_EQ(contents(file), kSettings) << c.what;
    }
}

TEST_F(SettingsDialogTest, ThePageFollowsTheFontSize) {
    open(write("s.ini", kSettings));
    const auto* label = dialog_->findChild<QLabel*>("LinesPerPage");
    const int before = dialog_->pageSample().linesPerPage;
    EXPECT_GT(before, 0);
    EXPECT_EQ(label->text(), QString("Строк на странице: %1").arg(before));
    const QImage pageBefore = dialog_->pageSample().page;
    field<QSpinBox>("FontSize")->setValue(20);
    dialog_->refreshPage();
    const int after = dialog_->pageSample().linesPerPage;
    EXPECT_LT(after, before);
    EXPECT_EQ(label->text(), QString("Строк на странице: %1").arg(after));
    EXPECT_NE(dialog_->pageSample().page, pageBefore);
    // Nothing was written while the page followed.
    EXPECT_EQ(contents(path("s.ini")), kSettings);
}

}  // namespace
}  // namespace quor::test
