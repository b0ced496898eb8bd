// Saving and reading files: real write failures (a file-size limit standing in for a full disk, a
// folder that may not be written, a missing folder) keep the earlier file and say why; a child
// process killed at random moments while saving never leaves a torn file; only regular files are
// read, and a FIFO nobody writes to does not block.
#include "session/file_io.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/save_faults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarn;
using namespace tarn::test;

Q_DECLARE_METATYPE(tarn::SaveProblem)
Q_DECLARE_METATYPE(tarn::ReadProblem)

namespace {

QByteArray pattern(int size, int seed) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 31 + seed * 7) & 0xFF);
    return b;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Whether the process has a file in folder open, other than target itself.
bool savingNow(pid_t pid, const QString& folder, const QString& target) {
    const QDir fds(QString("/proc/%1/fd").arg(pid));
    for (const QString& fd :
         fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        const QString file = QFile::symLinkTarget(fds.filePath(fd));
        if (file.startsWith(folder + '/') && file != target) return true;
    }
    return false;
}

} // namespace

class TestFileSave : public QObject {
    Q_OBJECT

    FreshFolder dir_;
    QString path(const char* name) const { return dir_.path(name); }

  private slots:
    void init() { QVERIFY(dir_.renew()); }
    void cleanup() {
        QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void saved() {
        const QByteArray bytes = pattern(36864, 1);
        QFile::remove(path("new.ALL"));
        QVERIFY(Save_File_Atomically(path("new.ALL"), bytes).ok());
        QCOMPARE(readAll(path("new.ALL")), bytes);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"new.ALL"});
    }

    void failed_data() {
        QTest::addColumn<int>("fault"); // 0 file-size limit, 1 read-only folder, 2 missing
                                        // folder, 3 the target is a folder
        QTest::addColumn<int>("size");
        QTest::addColumn<SaveProblem>("problem");
        QTest::addColumn<QString>("zh");
        QTest::addColumn<QString>("en");
        const QString fullZh = "磁盘空间不足，未保存任何内容，原有文件未改变！";
        const QString fullEn = "The disk is full: nothing was saved, and any earlier file is "
                               "unchanged!";
        QTest::newRow("disk full, scene") << 0 << 4096 << SaveProblem::DiskFull << fullZh << fullEn;
        QTest::newRow("disk full, all scenes")
            << 0 << 36864 << SaveProblem::DiskFull << fullZh << fullEn;
        QTest::newRow("no permission")
            << 1 << 4096 << SaveProblem::NoPermission
            << "没有写入该位置的权限，未保存任何内容，原有文件未改变！"
            << "No permission to write there: nothing was saved, and any earlier file is "
               "unchanged!";
        QTest::newRow("missing folder")
            << 2 << 4096 << SaveProblem::Other
            << "文件保存失败（No such file or directory），未保存任何内容，原有文件未改变！"
            << "Could not save the file (No such file or directory): nothing was saved, and any "
               "earlier file is unchanged!";
        QTest::newRow("a folder") << 3 << 4096 << SaveProblem::Other
                                  << "文件保存失败（Filename refers to a directory），未保存任何内"
                                     "容，原有文件未改变！"
                                  << "Could not save the file (Filename refers to a directory): "
                                     "nothing was saved, and any earlier file is unchanged!";
    }
    // The earlier file keeps every byte, no temporary file is left behind, and the notice says
    // nothing was saved and why, in both languages.
    void failed() {
        QFETCH(int, fault);
        QFETCH(int, size);
        QFETCH(SaveProblem, problem);
        QFETCH(QString, zh);
        QFETCH(QString, en);
        const QByteArray old = pattern(size, 2);
        const QString target = fault == 2 ? path("missing/x.SCE") : path("x.SCE");
        if (fault == 3) {
            QVERIFY(QDir().mkpath(target));
        } else if (fault != 2) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(old), qint64(size));
        }
        SaveResult result;
        if (fault == 0) {
            FileSizeLimit limit(1000);
            result = Save_File_Atomically(target, pattern(size, 3));
        } else if (fault == 1) {
            QVERIFY(QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::ExeOwner));
            Unprivileged nobody;
            QVERIFY(nobody.ok());
            result = Save_File_Atomically(target, pattern(size, 3));
        } else {
            result = Save_File_Atomically(target, pattern(size, 3));
        }
        cleanup();
        QCOMPARE(result.problem, problem);
        const BilingualText text = Save_Failure_Text(result);
        QCOMPARE(text.zh, zh);
        QCOMPARE(text.en, en);
        if (fault == 0 || fault == 1) QCOMPARE(readAll(target), old);
        if (fault == 3) QVERIFY(QFileInfo(target).isDir());
        const QStringList left = QDir(dir_->path()).entryList(QDir::Files);
        QCOMPARE(left, fault <= 1 ? QStringList{"x.SCE"} : QStringList{});
    }

    // A child saving in a loop, old and new by turns, through the real save routine, killed at a
    // random moment: the target is always one of the two complete files.
    void tornFileSafety() {
        const QString target = path("scene.SCE");
        const QByteArray a = pattern(36864, 4);
        const QByteArray b = pattern(4096, 5);
        QVERIFY(Save_File_Atomically(target, a).ok());
        std::mt19937 random(20261210);
        std::uniform_int_distribution<int> delayUs(0, 3000);
        int sawA = 0;
        int sawB = 0;
        int interrupted = 0;
        for (int round = 0; round < 200; ++round) {
            int ready[2];
            QCOMPARE(::pipe(ready), 0);
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                ::close(ready[0]);
                const char go = 1;
                if (::write(ready[1], &go, 1) != 1) _exit(2);
                for (int i = 0;; ++i)
                    Save_File_Atomically(target, i % 2 ? a : b);
            }
            // The delay counts from the moment the child runs, however busy the machine is.
            ::close(ready[1]);
            char go = 0;
            QCOMPARE(::read(ready[0], &go, 1), ssize_t(1));
            ::close(ready[0]);
            usleep(useconds_t(delayUs(random)));
            // Stopped first, to see whether it holds a file of the folder other than the target
            // open: a save caught half-way.
            int status = 0;
            QCOMPARE(::kill(child, SIGSTOP), 0);
            QCOMPARE(::waitpid(child, &status, WUNTRACED), child);
            interrupted += savingNow(child, dir_->path(), target) ? 1 : 0;
            QCOMPARE(::kill(child, SIGKILL), 0);
            QCOMPARE(::waitpid(child, &status, 0), child);
            const QByteArray now = readAll(target);
            if (now == a)
                ++sawA;
            else if (now == b)
                ++sawB;
            else
                QFAIL(qPrintable(
                    QString("round %1: a torn file of %2 bytes").arg(round).arg(now.size())));
        }
        qInfo("torn-file rounds: %d ended with the 36864-byte file, %d with the 4096-byte one; "
              "%d saves killed half-way",
              sawA, sawB, interrupted);
        QVERIFY(sawA > 0 && sawB > 0);
        QVERIFY(interrupted > 0);
    }

    void readRegularOnly_data() {
        QTest::addColumn<int>("kind"); // 0 regular, 1 FIFO, 2 link to a FIFO, 3 folder,
                                       // 4 device, 5 missing
        QTest::addColumn<ReadProblem>("problem");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("regular, cut at the limit") << 0 << ReadProblem::None << QByteArray("MVO12");
        QTest::newRow("FIFO nobody writes to") << 1 << ReadProblem::NotRegular << QByteArray();
        QTest::newRow("link to a FIFO") << 2 << ReadProblem::NotRegular << QByteArray();
        QTest::newRow("folder") << 3 << ReadProblem::NotRegular << QByteArray();
        QTest::newRow("device") << 4 << ReadProblem::NotRegular << QByteArray();
        QTest::newRow("missing") << 5 << ReadProblem::Unreadable << QByteArray();
    }
    void readRegularOnly() {
        QFETCH(int, kind);
        QFETCH(ReadProblem, problem);
        QFETCH(QByteArray, bytes);
        QString file = path("in.bin");
        if (kind == 0) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("MVO12345");
        }
        if (kind == 1 || kind == 2)
            QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        if (kind == 1) file = path("fifo");
        if (kind == 2) QVERIFY(QFile::link(path("fifo"), file));
        if (kind == 3) QVERIFY(QDir().mkpath(file));
        if (kind == 4) file = "/dev/zero";
        alarm(20); // a blocking open ends the run instead of hanging it
        QByteArray out = "x";
        qint64 size = -1;
        const ReadProblem got = Read_Regular_File(file, 5, out, &size);
        alarm(0);
        QCOMPARE(got, problem);
        QCOMPARE(out, bytes);
        if (kind == 0) QCOMPARE(size, qint64(8));
    }
};

QTEST_GUILESS_MAIN(TestFileSave)
#include "test_file_save.moc"
