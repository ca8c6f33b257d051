#include "companion/settings_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <fstream>
#include <iterator>

#include "app/form_storage.h"
#include "companion/setting_editors.h"
#include "platform/error.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

namespace quor {
namespace {

const char* const kCaption = "Настройки";
// The page's picture: its longer side in screen pixels.
constexpr int kPageSide = 360;
// Changes closer together than this are laid out once.
constexpr int kPauseMs = 150;

QString fromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string readAll(const std::string& path, bool& exists) {
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    return exists ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

}  // namespace

// The first page drawn small on a grey desk, or why there is none.
class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) {
        setObjectName("PageView");
        setFixedSize(kPageSide + 20, kPageSide + 20);
    }
    void show(const PageSample& sample) {
        image_ = sample.page.isNull() ? QImage()
                                      : sample.page.scaled(kPageSide, kPageSide, Qt::KeepAspectRatio,
                                                           Qt::SmoothTransformation);
        error_ = QString::fromStdString(sample.error);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        if (image_.isNull()) {
            p.setPen(Qt::white);
            p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, error_);
            return;
        }
        const QPoint at((width() - image_.width()) / 2, (height() - image_.height()) / 2);
        p.fillRect(QRect(at + QPoint(3, 3), image_.size()), QColor(0x40, 0x40, 0x40));
        p.drawImage(at, image_);
    }

private:
    QImage image_;
    QString error_;
};

SettingsDialog::SettingsDialog(std::string iniPath, const std::string& document, QWidget* parent)
    : QDialog(parent),
      iniPath_(std::move(iniPath)),
      resultPath_(iniPath_),
      sampler_(documentSample(document)),
      scratch_(std::make_unique<QTemporaryDir>()) {
    setObjectName("SettingsDialog");
    setWindowTitle(QString::fromUtf8(kCaption) + " — " + fromPath(iniPath_));
    build();
    load();
    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    connect(pause_, &QTimer::timeout, this, &SettingsDialog::refreshPage);
    refreshPage();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::build() {
    auto* tabs = new QTabWidget(this);
    for (KeyGroup group : {KeyGroup::text, KeyGroup::page, KeyGroup::dosPrinter, KeyGroup::logo1, KeyGroup::logo2}) {
        auto* tab = new QWidget(tabs);
        auto* form = new QFormLayout(tab);
        for (const SettingKey& key : settingKeys()) {
            if (key.group != group) continue;
            auto editor = makeSettingEditor(key, tab);
            editor->widget()->setObjectName(key.key);
            editor->changed = [this] { changed(); };
            QWidget* field = editor->widget();
            if (*key.unit) {
                field = new QWidget(tab);
                auto* row = new QHBoxLayout(field);
                row->setContentsMargins(0, 0, 0, 0);
                editor->widget()->setParent(field);
                row->addWidget(editor->widget());
                row->addWidget(new QLabel(QString::fromUtf8(key.unit), field));
                row->addStretch();
            }
            form->addRow(QString::fromUtf8(key.label), field);
            editors_.push_back(std::move(editor));
        }
        tabs->addTab(tab, QString::fromUtf8(groupTitle(group)));
    }

    page_ = new PageView(this);
    linesLabel_ = new QLabel(this);
    linesLabel_->setObjectName("LinesPerPage");
    auto* pageColumn = new QVBoxLayout;
    pageColumn->addWidget(page_);
    pageColumn->addWidget(linesLabel_);
    pageColumn->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Ok)->setText("OK");
    buttons->addButton(QDialogButtonBox::Cancel)->setText("Отмена");
    QPushButton* saveAs = buttons->addButton("Сохранить как…", QDialogButtonBox::ActionRole);
    saveAs->setObjectName("SaveAs");
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(saveAs, &QPushButton::clicked, this, &SettingsDialog::chooseFileToSaveAs);

    auto* columns = new QHBoxLayout;
    columns->addWidget(tabs, 1);
    columns->addLayout(pageColumn);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addWidget(buttons);
}

void SettingsDialog::load() {
    originalBytes_ = readAll(iniPath_, existed_);
    TFormStorage reader("TfQuorPrint");
    reader.setIniSection(kSettingsSection);
    reader.setIniFileName(iniPath_);
    loaded_.clear();
    for (auto& editor : editors_) {
        editor->load(reader.ReadString(editor->key().key, editor->key().defaultValue));
        loaded_.push_back(editor->value());
    }
}

std::vector<ProfileEntry> SettingsDialog::entries(bool changedOnly) const {
    std::vector<ProfileEntry> result;
    for (std::size_t i = 0; i < editors_.size(); ++i) {
        std::string now = editors_[i]->value();
        if (!changedOnly || now != loaded_[i]) result.push_back({editors_[i]->key().key, std::move(now)});
    }
    return result;
}

void SettingsDialog::changed() { pause_->start(); }

void SettingsDialog::refreshPage() {
    pause_->stop();
    sample_ = PageSample{};
    for (const auto& editor : editors_)
        if (std::string problem = editor->problem(); !problem.empty()) {
            sample_.error = std::string(editor->key().label) + ": " + problem;
            break;
        }
    if (sample_.error.empty() && !scratch_->isValid()) sample_.error = "Нет временной папки для образца страницы";
    if (sample_.error.empty()) {
        try {
            const std::string path = scratch_->filePath("page.ini").toStdString();
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                << setProfileStrings(originalBytes_, kSettingsSection, changedEntries());
            sample_ = sampler_.sample(path, 2 * kPageSide);
        } catch (const std::exception& e) {
            sample_.error = e.what();
        }
    }
    page_->show(sample_);
    linesLabel_->setText(sample_.error.empty() ? QString("Строк на странице: %1").arg(sample_.linesPerPage)
                                               : QString("Строк на странице: —"));
}

bool SettingsDialog::valuesWritable() {
    for (const auto& editor : editors_)
        if (std::string problem = editor->problem(); !problem.empty()) {
            showMessage(std::string(editor->key().label) + ": " + problem, kCaption, MessageIcon::Warning);
            editor->widget()->setFocus();
            return false;
        }
    return true;
}

void SettingsDialog::accept() {
    if (!valuesWritable()) return;
    const std::vector<ProfileEntry> changes = changedEntries();
    if (!changes.empty()) {
        try {
            writeProfileStrings(iniPath_, iniPath_, kSettingsSection, changes,
                                existed_ ? MissingFile::refuse : MissingFile::create);
        } catch (const Error& e) {
            showMessage(e.what(), kCaption, MessageIcon::Error);
            return;
        }
    }
    QDialog::accept();
}

bool SettingsDialog::saveAs(const std::string& target) {
    if (!valuesWritable()) return false;
    // Without its file the new one gets every value, so that it reads as
    // the dialog shows.
    const bool sourceThere = QFileInfo::exists(fromPath(iniPath_));
    try {
        writeProfileStrings(iniPath_, target, kSettingsSection, entries(sourceThere),
                            MissingFile::create);
    } catch (const Error& e) {
        showMessage(e.what(), kCaption, MessageIcon::Error);
        return false;
    }
    resultPath_ = target;
    QDialog::accept();
    return true;
}

void SettingsDialog::chooseFileToSaveAs() {
    QFileDialog chooser(this, "Сохранить настройки как", QFileInfo(fromPath(iniPath_)).absolutePath(),
                        "Файлы настроек (*.ini);;Все файлы (*)");
    chooser.setObjectName("SaveAsDialog");
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix("ini");
    fitFileDialog(chooser);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    saveAs(QFile::encodeName(chooser.selectedFiles().front()).toStdString());
}

}  // namespace quor
