// The parameter window against the simulated module: load, write, defaults,
// retries and give-up, answers split, over-long or mixed with a status frame,
// the status line's life, and the configuration file through the window and
// its dialogs, onto read-only and full file systems too.
#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/mount.h>
#include <fcntl.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "parameter/config_file.h"
#include "parameter/line_messages.h"
#include "parameter/window_fields.h"
#include "sim/simulated_module.h"
#include "tests/test_frames.h"
#include "tests/window_fixture.h"

using namespace zelk20;
using namespace zelk20::test;

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Requests among the bytes the module received: FF FA reads, FF FD writes.
int count_requests(const Bytes& received, std::uint8_t kind = 0xFA) {
    int count = 0;
    for (std::size_t k = 0; k + 1 < received.size(); ++k) count += received[k] == 0xFF && received[k + 1] == kind;
    return count;
}

QStringList ticked_boxes(Tpara* para) {
    QStringList ticked;
    for (QCheckBox* box : para->check_boxes) {
        if (box->isChecked()) ticked << box->objectName();
    }
    return ticked;
}

QList<int> selections(Tpara* para) {
    QList<int> positions;
    for (QComboBox* field : para->threshold_fields) positions << field->currentIndex();
    return positions;
}

QStringList shown_marks(Tpara* para) {
    QStringList shown;
    for (QLabel* mark : para->threshold_marks) {
        if (!mark->isHidden()) shown << mark->objectName();
    }
    return shown;
}

const QStringList default_boxes = {"port1_byte1_01", "port1_byte1_02", "port2_byte1_08", "port2_byte1_10",
                                   "port1_byte2_02", "port2_byte2_02", "port1_byte2_01"};

// A set unlike the maker's defaults, and what the window shows of it.
constexpr ParameterSet odd_set = {0xFA, 0xC8, 0xD2, 0x0A, 0xD2, 0x64, 0x81, 0x02, 0x3F, 0x02};
const QList<int> odd_set_selections = {50, 0, 10, 0, 40, 18};
const QStringList odd_set_boxes = {"port1_byte1_01", "port2_byte1_01", "port2_byte1_02", "port2_byte1_04",
                                   "port2_byte1_08", "port2_byte1_10", "port2_byte1_20", "port1_byte1_80",
                                   "port1_byte2_02", "port2_byte2_02"};

// How a transfer against a faulty answer ends.
enum class Outcome {
    taken,     // the answer is accepted as it is
    retried,   // refused and retried silently; taken once the module answers properly
    given_up,  // refused at every attempt, until the failure message
};

// A small tmpfs of the test's own, unmounted when done. Root writes into a
// folder whatever its mode, so only a read-only or a full file system makes
// a save fail; mounting one needs CAP_SYS_ADMIN.
class ScratchFileSystem {
public:
    explicit ScratchFileSystem(const QString& at) : path_(at.toStdString()) {
        QDir().mkpath(at);
        if (::mount("zelk20-test", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") == 0) {
            mounted_ = true;
        } else {
            failure_ = QString("cannot mount a tmpfs (%1); this needs root with CAP_SYS_ADMIN")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
        }
    }
    ~ScratchFileSystem() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    ScratchFileSystem(const ScratchFileSystem&) = delete;
    ScratchFileSystem& operator=(const ScratchFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    const QString& failure() const { return failure_; }

    bool make_read_only() {
        return ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }
    // Fills it with one file until no byte more fits.
    bool fill() {
        const int fd = ::open((path_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }

private:
    std::string path_;
    bool mounted_ = false;
    QString failure_;
};

}  // namespace

Q_DECLARE_METATYPE(zelk20::sim::Faults)
Q_DECLARE_METATYPE(Outcome)

class ParameterWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void load_fills_the_window_and_the_message_goes_after_five_seconds();
    void defaults_then_write_sends_the_documented_request();
    void write_with_an_empty_field_sends_nothing();
    void silent_module_gets_thirteen_attempts_then_the_red_message();
    void closing_while_retrying_shows_the_failure_next_time();
    void answers_are_taken_whole_or_not_at_all_data();
    void answers_are_taken_whole_or_not_at_all();
    void messages_follow_the_language();
    void save_and_open_round_trip();
    void open_reports_every_check_code_data();
    void open_reports_every_check_code();
    void open_stops_at_a_malformed_field_data();
    void open_stops_at_a_malformed_field();
    void cancelled_dialogs_change_nothing();
    void all_files_lists_a_file_without_extension();
    void save_that_cannot_write_keeps_the_old_file_data();
    void save_that_cannot_write_keeps_the_old_file();

private:
    QLabel* status() const { return control<QLabel>(para(), "status"); }
    Tpara* para() const { return program->para(); }
    QString write_file(const QString& name, const QByteArray& bytes) {
        const QString path = folder->filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    QString status_colour() const { return status()->palette().color(QPalette::WindowText).name(); }

    std::unique_ptr<sim::SimulatedModule> module;
    std::unique_ptr<Program> program;
    zelk20::test::PortMapping ports;
    std::unique_ptr<QTemporaryDir> folder;
};

void ParameterWindowTest::init() {
    module = sim::SimulatedModule::start();
    QVERIFY(module);
    ports.map(1, module->port_path());
    folder = std::make_unique<QTemporaryDir>();
    program = std::make_unique<Program>();
    program->main()->show();
    QTRY_COMPARE(program->main()->link().current_port_name(), std::string("COM1"));
    program->main()->Button1Click();
    QVERIFY(para()->isVisible());
}

void ParameterWindowTest::cleanup() {
    program.reset();
    module.reset();
    folder.reset();
    ports.restore();
}

void ParameterWindowTest::load_fills_the_window_and_the_message_goes_after_five_seconds() {
    module->set_parameters(odd_set);
    QTest::mouseClick(control<QPushButton>(para(), "Button1"), Qt::LeftButton);
    QTRY_COMPARE(status()->text(), QString("Übertragung erfolgreich!"));
    QVERIFY(!status()->isHidden());
    QCOMPARE(status_colour(), QColor(Qt::black).name());
    QCOMPARE(selections(para()), odd_set_selections);
    QCOMPARE(ticked_boxes(para()), odd_set_boxes);
    QCOMPARE(control<QLabel>(para(), "sw")->text(), QString("ZELK20-Version: V1.3"));
    QCOMPARE(control<QLabel>(para(), "fa")->text(), QString("Fa: 251104-00731"));
    QCOMPARE(para()->Timer1->interval(), 500);  // from the first success on

    QElapsedTimer since;
    since.start();
    QTRY_VERIFY_WITH_TIMEOUT(status()->isHidden(), 8000);
    QVERIFY(since.elapsed() >= 4500);
    QVERIFY(status()->text().isEmpty());
    QVERIFY(control<QLabel>(para(), "sw")->text().isEmpty());
    QVERIFY(control<QLabel>(para(), "fa")->text().isEmpty());
    QCOMPARE(selections(para()), odd_set_selections);  // the fields stay
}

void ParameterWindowTest::defaults_then_write_sends_the_documented_request() {
    module->set_parameters({0xC8, 0xC8, 0xC8, 0x0A, 0x0A, 0x0A, 0, 0, 0, 0});
    para()->threshold_marks[3]->show();
    QTest::mouseClick(control<QPushButton>(para(), "Button3"), Qt::LeftButton);
    QCOMPARE(selections(para()), (QList<int>{4, 4, 4, 38, 38, 38}));
    QCOMPARE(ticked_boxes(para()), default_boxes);
    QCOMPARE(shown_marks(para()), QStringList());
    QCOMPARE(module->received().size(), std::size_t{0});  // the defaults alone send nothing

    QTest::mouseClick(control<QPushButton>(para(), "Button2"), Qt::LeftButton);
    QTRY_COMPARE(status()->text(), QString("Übertragung erfolgreich!"));
    const Bytes expected = {0xFF, 0xFD, 0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0x03, 0x03, 0x18, 0x02, 0xDD, 0xEE, 0x2D};
    QCOMPARE(module->received(), expected);
    QCOMPARE(module->parameters(), maker_defaults);
}

void ParameterWindowTest::write_with_an_empty_field_sends_nothing() {
    para()->Button3Click();
    para()->threshold_fields[4]->setCurrentIndex(-1);  // igood2_sel
    para()->Button2Click();
    QCOMPARE(shown_marks(para()), QStringList{"error_igood2_sel"});
    QCOMPARE(status()->text(), QString("Bitte alle Felder korrekt ausfüllen"));
    QCOMPARE(status_colour(), QColor(Qt::red).name());
    QVERIFY(!para()->Timer1->isActive());
    QTest::qWait(300);
    QVERIFY(module->received().empty());

    para()->threshold_fields[4]->setCurrentIndex(38);
    para()->Button2Click();
    QTRY_COMPARE(status()->text(), QString("Übertragung erfolgreich!"));
    QCOMPARE(shown_marks(para()), QStringList{"error_igood2_sel"});  // a write never hides a mark
}

void ParameterWindowTest::silent_module_gets_thirteen_attempts_then_the_red_message() {
    module->set_faults({.silent = true});
    para()->Button3Click();
    QElapsedTimer since;
    since.start();
    para()->laden();
    QCOMPARE(selections(para()), (QList<int>{-1, -1, -1, -1, -1, -1}));  // cleared first
    QVERIFY(ticked_boxes(para()).isEmpty());
    QVERIFY(para()->Timer1->isActive());
    QTest::qWait(1000);
    QVERIFY(status()->isHidden());  // silent while retrying
    QTRY_COMPARE_WITH_TIMEOUT(status()->text(), QString("Kommunikation fehlgeschlagen!"), 10000);
    QVERIFY(since.elapsed() >= 4400);  // twelve ticks of 400 ms
    QVERIFY(!status()->isHidden());
    QCOMPARE(status_colour(), QColor(Qt::red).name());
    QVERIFY(!para()->Timer1->isActive());
    QCOMPARE(para()->retry_count, std::uint16_t{0});
    QTest::qWait(300);
    QCOMPARE(count_requests(module->received()), 13);
}

void ParameterWindowTest::closing_while_retrying_shows_the_failure_next_time() {
    module->set_faults({.silent = true});
    para()->laden();
    para()->close();
    QVERIFY(program->main()->isEnabled());
    module->set_faults({});  // the module answers again, but the main window holds the port
    QTRY_VERIFY_WITH_TIMEOUT(!para()->Timer1->isActive(), 10000);  // the series gave up
    program->main()->Button1Click();
    QVERIFY(!status()->isHidden());
    QCOMPARE(status()->text(), QString("Kommunikation fehlgeschlagen!"));
}

void ParameterWindowTest::answers_are_taken_whole_or_not_at_all_data() {
    QTest::addColumn<bool>("load");  // else a write
    QTest::addColumn<sim::Faults>("faults");
    QTest::addColumn<Outcome>("outcome");
    // A status frame opens with E4 31 like a read answer; this one's byte 29
    // is no check of its bytes 2 to 28.
    const Bytes frame = test::typical_frame();
    QTest::newRow("load, 50 ms pause after 15 bytes: one answer")
        << true << sim::Faults{.answer_pause_after = 15, .answer_pause = 50ms} << Outcome::taken;
    QTest::newRow("load, 150 ms pause after 15 bytes: the first 15 alone")
        << true << sim::Faults{.answer_pause_after = 15, .answer_pause = 150ms} << Outcome::retried;
    QTest::newRow("load, 150 ms pause before the check byte, every time")
        << true << sim::Faults{.answer_pause_after = 29, .answer_pause = 150ms} << Outcome::given_up;
    QTest::newRow("load, 70 bytes: the first 30 count") << true << sim::Faults{.answer_extra = 40} << Outcome::taken;
    QTest::newRow("load, a status frame runs into the answer")
        << true << sim::Faults{.answer_lead = frame} << Outcome::retried;
    QTest::newRow("load, a status frame in the answer's place")
        << true << sim::Faults{.answer_lead = frame, .answer_pause_after = 36, .answer_pause = 300ms}
        << Outcome::retried;
    QTest::newRow("write, a status frame ahead of the acknowledgement")
        << false << sim::Faults{.answer_lead = frame} << Outcome::retried;
}

void ParameterWindowTest::answers_are_taken_whole_or_not_at_all() {
    QFETCH(bool, load);
    QFETCH(sim::Faults, faults);
    QFETCH(Outcome, outcome);
    module->set_parameters(odd_set);
    para()->Button3Click();
    module->set_faults(faults);
    const std::uint8_t request = load ? 0xFA : 0xFD;
    QTest::mouseClick(control<QPushButton>(para(), load ? "Button1" : "Button2"), Qt::LeftButton);

    // Until an answer is taken the window holds what the click left there:
    // nothing after a load, which clears it first; the defaults for a write.
    const QList<int> fields_before = load ? QList<int>(6, -1) : QList<int>{4, 4, 4, 38, 38, 38};
    const QStringList boxes_before = load ? QStringList() : default_boxes;
    auto nothing_taken = [&] {
        QCOMPARE(selections(para()), fields_before);
        QCOMPARE(ticked_boxes(para()), boxes_before);
        QVERIFY(control<QLabel>(para(), "sw")->text().isEmpty());
        QVERIFY(control<QLabel>(para(), "fa")->text().isEmpty());
    };
    if (outcome != Outcome::taken) {
        QTRY_VERIFY_WITH_TIMEOUT(count_requests(module->received(), request) >= 3, 5000);
        nothing_taken();
        if (QTest::currentTestFailed()) return;
        QVERIFY(status()->isHidden());  // retried silently
        QVERIFY(para()->Timer1->isActive());
    }
    if (outcome == Outcome::given_up) {
        QTRY_COMPARE_WITH_TIMEOUT(status()->text(), QString("Kommunikation fehlgeschlagen!"), 10000);
        QCOMPARE(count_requests(module->received(), request), 13);
        nothing_taken();
        return;
    }
    if (outcome == Outcome::retried) module->set_faults({});
    QTRY_COMPARE_WITH_TIMEOUT(status()->text(), QString("Übertragung erfolgreich!"), 5000);
    if (load) {
        QCOMPARE(selections(para()), odd_set_selections);
        QCOMPARE(ticked_boxes(para()), odd_set_boxes);
        QCOMPARE(control<QLabel>(para(), "fa")->text(), QString("Fa: 251104-00731"));
    } else {
        QCOMPARE(selections(para()), fields_before);
        QCOMPARE(module->parameters(), maker_defaults);
    }
}

void ParameterWindowTest::messages_follow_the_language() {
    para()->close();
    program->main()->englischClick();
    program->main()->Button1Click();
    para()->Button2Click();
    QCOMPARE(status()->text(), QString("all labels fill correctly, please"));
    para()->laden();
    QTRY_COMPARE(status()->text(), QString("transmission successful!"));
    answer_next_dialog(write_file("faulty.txt", "KORVA_ZELK20\r\n"));
    para()->oeffnenClick();
    QCOMPARE(status()->text(), QString("file error C7"));
}

void ParameterWindowTest::save_and_open_round_trip() {
    para()->Button3Click();
    const QString path = folder->filePath("zelk20.txt");
    answer_next_dialog(path);
    para()->speichernClick();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("KORVA_ZELK20\r\nCC,CC,CC,C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n"));
    QVERIFY(status()->text().isEmpty());  // nothing is shown on success

    // Change everything, then open the file again.
    para()->threshold_fields[0]->setCurrentIndex(50);
    para()->threshold_fields[5]->setCurrentIndex(0);
    for (QCheckBox* box : para()->check_boxes) box->setChecked(!box->isChecked());
    answer_next_dialog(path);
    para()->oeffnenClick();
    QCOMPARE(status()->text(), QString("Datei korrekt eingelesen"));
    QCOMPARE(status_colour(), QColor(Qt::black).name());
    QCOMPARE(selections(para()), (QList<int>{4, 4, 4, 38, 38, 38}));
    QCOMPARE(ticked_boxes(para()), default_boxes);
    QVERIFY(para()->Timer3->isActive());

    // The next save offers the last file again, and replaces it whole after the prompt.
    para()->threshold_fields[0]->setCurrentIndex(0);
    QStringList offered;
    when_modal<QFileDialog>([&](QFileDialog* dialog) {
        offered = dialog->selectedFiles();
        answer_next_dialog(path);
    });
    para()->speichernClick();
    QCOMPARE(offered, QStringList{path});
    QVERIFY(saved.seek(0));
    saved.close();
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("KORVA_ZELK20\r\nC8,CC,CC,C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n"));

    // Saving with an empty field opens no dialog and shows the marks.
    para()->threshold_fields[1]->setCurrentIndex(-1);
    bool dialog_came = false;
    when_modal<QDialog>([&](QDialog* dialog) {  // none should come
        dialog_came = true;
        dialog->reject();
    }, 25);
    para()->speichernClick();
    QTest::qWait(700);  // the watch above is over
    QVERIFY(!dialog_came);
    QCOMPARE(shown_marks(para()), QStringList{"error_pgood2_sel"});
    QCOMPARE(status()->text(), QString("Bitte alle Felder korrekt ausfüllen"));
}

void ParameterWindowTest::open_reports_every_check_code_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("selected");
    const QByteArray h = "KORVA_ZELK20\r\n", t = "CC,CC,CC,C8,C8,C8;\r\n", m = "03,03,18,02;\r\n", e = "AE0DFDD12F249\r\n";
    const QList<int> none = {-1, -1, -1, -1, -1, -1};
    QTest::newRow("0 correct") << h + t + m + e << "Datei korrekt eingelesen" << QList<int>{4, 4, 4, 38, 38, 38};
    QTest::newRow("1 last semicolon a comma") << h + "CC,CC,CC,C8,C8,C8,\r\n" + m + e << "Datei fehlerhaft C1"
                                              << QList<int>{4, 4, 4, 38, 38, -1};
    QTest::newRow("2 short threshold line") << h + "CC,CC,CC,C8,C8,C8\r\n" + m + e << "Datei fehlerhaft C2" << none;
    QTest::newRow("3 mask separator 1") << h + t + "03;03,18,02;\r\n" + e << "Datei fehlerhaft C3"
                                        << QList<int>{4, 4, 4, 38, 38, 38};
    QTest::newRow("4 mask separator 4") << h + t + "03,03,18,02,\r\n" + e << "Datei fehlerhaft C4"
                                        << QList<int>{4, 4, 4, 38, 38, 38};
    QTest::newRow("5 short mask line") << h + t + "03,03,18,02\r\n" + e << "Datei fehlerhaft C5"
                                       << QList<int>{4, 4, 4, 38, 38, 38};
    QTest::newRow("6 wrong header") << "KORVA_ZELK2X\r\n" + t + m + e << "Datei fehlerhaft C6" << none;
    QTest::newRow("7 empty file") << QByteArray() << "Datei fehlerhaft C7" << none;
    QTest::newRow("voltage FB and 0A select nothing")
        << h + "FB,0A,FA,0B,09,00;\r\n" + m + e << "Datei korrekt eingelesen" << QList<int>{-1, -1, 50, 0, -1, -1};
}

void ParameterWindowTest::open_reports_every_check_code() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    QFETCH(QList<int>, selected);
    answer_next_dialog(write_file("config.txt", contents));
    para()->oeffnenClick();
    QCOMPARE(status()->text(), message);
    QVERIFY(!status()->isHidden());
    QCOMPARE(status_colour(), QColor(message.startsWith("Datei korrekt") ? Qt::black : Qt::red).name());
    QCOMPARE(selections(para()), selected);
    QVERIFY(para()->Timer3->isActive());
}

// The box shows the field's two bytes as Latin-1 characters, a NUL as a sign
// of its own, and the whole message whatever the bytes are.
void ParameterWindowTest::open_stops_at_a_malformed_field_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("shown");
    QTest::newRow("58 59") << QByteArray("XY") << QString::fromUtf8("'$XY' ist kein gültiger Integerwert.");
    QTest::newRow("47 31") << QByteArray("G1") << QString::fromUtf8("'$G1' ist kein gültiger Integerwert.");
    QTest::newRow("C4 31, Latin-1 A umlaut") << QByteArray("\xC4\x31")
                                            << QString::fromUtf8("'$Ä1' ist kein gültiger Integerwert.");
    QTest::newRow("00 31, NUL") << QByteArray("\0" "1", 2)
                                << QString::fromUtf8("'$\u24001' ist kein gültiger Integerwert.");
    QTest::newRow("FF FF") << QByteArray("\xFF\xFF") << QString::fromUtf8("'$ÿÿ' ist kein gültiger Integerwert.");
}

void ParameterWindowTest::open_stops_at_a_malformed_field() {
    QFETCH(QByteArray, field);
    QFETCH(QString, shown);
    QString box_text;
    Qt::TextFormat format = Qt::AutoText;
    answer_next_dialog(write_file("bad.txt", "KORVA_ZELK20\r\nCC,CC," + field + ",C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n"));
    when_modal<QMessageBox>([&](QMessageBox* box) {  // after the file dialog, the error box
        box_text = box->text();
        format = box->textFormat();
        box->accept();
    });
    para()->oeffnenClick();
    QCOMPARE(box_text, shown);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(selections(para()), (QList<int>{4, 4, -1, -1, -1, -1}));  // the fields before it are set
    QVERIFY(status()->text().isEmpty());
    QVERIFY(!para()->Timer3->isActive());
}

void ParameterWindowTest::cancelled_dialogs_change_nothing() {
    para()->Button3Click();
    answer_next_dialog(QString());
    para()->speichernClick();
    QVERIFY(status()->text().isEmpty());
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList());
    para()->threshold_fields[0]->setCurrentIndex(9);
    answer_next_dialog(QString());
    para()->oeffnenClick();
    QCOMPARE(para()->threshold_fields[0]->currentIndex(), 9);
    QVERIFY(!para()->Timer3->isActive());
}

namespace {

// The file dialog's list as the user sees it: the files it offers, enabled.
QStringList listed_files(QFileDialog* dialog) {
    auto* view = dialog->findChild<QListView*>("listView");
    if (view == nullptr) return {"no list"};
    QStringList names;
    const QAbstractItemModel* model = view->model();
    for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
        const QModelIndex index = model->index(r, 0, view->rootIndex());
        if (model->flags(index) & Qt::ItemIsEnabled) names << index.data().toString();
    }
    names.sort();
    return names;
}

}  // namespace

// A name typed without an extension is saved as typed; "All files (*.*)"
// then lists that file on Linux too, where "*.*" would hide it.
void ParameterWindowTest::all_files_lists_a_file_without_extension() {
    write_file("other.txt", "KORVA_ZELK20\r\n");
    para()->Button3Click();
    answer_next_dialog(folder->filePath("zelk20"));
    para()->speichernClick();
    QVERIFY(QFileInfo::exists(folder->filePath("zelk20")));

    QStringList shown_filters;
    QStringList by_text_files;
    QStringList by_all_files;
    when_modal<QFileDialog>([&](QFileDialog* dialog) {
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        for (int k = 0; types != nullptr && k < types->count(); ++k) shown_filters << types->itemText(k);
        dialog->setDirectory(folder->path());
        auto listing_settles = [dialog](const QStringList& expected) {  // the folder is read in the background
            QElapsedTimer clock;
            clock.start();
            while (listed_files(dialog) != expected && clock.elapsed() < 5000) QTest::qWait(20);
            return listed_files(dialog);
        };
        by_text_files = listing_settles({"other.txt"});
        if (types != nullptr) {  // the user picks the second entry
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
        }
        by_all_files = listing_settles({"other.txt", "zelk20"});
        answer_next_dialog("zelk20");
    });
    para()->threshold_fields[0]->setCurrentIndex(0);
    para()->oeffnenClick();
    QCOMPARE(shown_filters, (QStringList{"Text files (*.txt)", "All files (*.*)"}));
    QCOMPARE(by_text_files, QStringList{"other.txt"});
    QCOMPARE(by_all_files, (QStringList{"other.txt", "zelk20"}));
    QCOMPARE(status()->text(), QString("Datei korrekt eingelesen"));
    QCOMPARE(para()->threshold_fields[0]->currentIndex(), 4);
}

void ParameterWindowTest::save_that_cannot_write_keeps_the_old_file_data() {
    QTest::addColumn<bool>("read_only");  // else full
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("english");
    QTest::newRow("read-only, over a file") << true << true << false;
    QTest::newRow("read-only, a new file") << true << false << false;
    QTest::newRow("full, over a file") << false << true << false;
    QTest::newRow("full, a new file, in English") << false << false << true;
}

void ParameterWindowTest::save_that_cannot_write_keeps_the_old_file() {
    QFETCH(bool, read_only);
    QFETCH(bool, existing);
    QFETCH(bool, english);
    ScratchFileSystem scratch(folder->filePath("mnt"));
    if (!scratch.mounted()) QSKIP(qPrintable(scratch.failure()));
    const QString path = folder->filePath("mnt/zelk20.txt");
    const QByteArray old = "KORVA_ZELK20\r\nC8,C8,C8,0A,0A,0A;\r\n00,00,00,00;\r\nAE0DFDD12F249\r\n";
    if (existing) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(old), old.size());
    }
    QVERIFY(read_only ? scratch.make_read_only() : scratch.fill());
    const QStringList files_before = QDir(folder->filePath("mnt")).entryList(QDir::Files);

    if (english) program->main()->englischClick();
    para()->Button3Click();
    answer_next_dialog(path);
    para()->speichernClick();
    QCOMPARE(status()->text(), QString(english ? "file could not be saved" : "Datei konnte nicht gespeichert werden"));
    QCOMPARE(status_colour(), QColor(Qt::red).name());
    QVERIFY(!status()->isHidden());
    QCOMPARE(QDir(folder->filePath("mnt")).entryList(QDir::Files), files_before);  // nothing half-written beside it
    if (existing) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
    }
}

QTEST_MAIN(ParameterWindowTest)
#include "parameter_window_test.moc"
