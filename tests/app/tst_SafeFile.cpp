// Saves as an ordinary user, where root's rights would hide a refused or
// careless write: each case runs its write in a child process that has
// become the user nobody, without groups.
#include "TestEnv.h"
#include "app/AppError.h"
#include "app/SafeFile.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr uid_t kNobody = 65534;
enum Flag { Threw = 1, SetIdDropped = 2, BackupSkipped = 4, InPlace = 8, ReasonShown = 16 };

struct ::stat statOf(const QString& path)
{
    struct ::stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs fn as nobody when asked (else as this process) in a child; its exit code.
int run(bool asNobody, const std::function<int()>& fn)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (asNobody && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0
                         || ::setresuid(kNobody, kNobody, kNobody) != 0))
            ::_exit(99);
        ::_exit(fn());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

class TstSafeFile : public QObject {
    Q_OBJECT
private slots:
    void save_data();
    void save();
};

void TstSafeFile::save_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("asNobody");
    QTest::addColumn<QString>("reason");  // of the failure; empty: the save succeeds
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("mode");        // the file's permission bits afterwards
    QTest::addColumn<int>("backupMode");  // the backup's; 0: no backup made

    QTest::newRow("private file, private backup") << "plain 0600" << true << "" << 0 << 0600 << 0600;
    QTest::newRow("set-id bits dropped") << "plain 06755" << true << "" << int(SetIdDropped) << 0755 << 0755;
    QTest::newRow("owner and group kept") << "owned by nobody 0640" << false << "" << 0 << 0640 << 0640;
    QTest::newRow("another's file written in place") << "owned by root 0666" << true << "" << int(InPlace) << 0666
                                                     << 0666;
    QTest::newRow("hard link written in place") << "hard link" << true << "" << int(InPlace) << 0644 << 0644;
    QTest::newRow("symlink keeps pointing") << "symlink" << true << "" << 0 << 0644 << 0644;
    QTest::newRow("read-only folder: in place, no backup")
        << "read-only folder" << true << "" << int(InPlace | BackupSkipped) << 0644 << 0;
    QTest::newRow("read-only file refused") << "plain 0444" << true << "Permission denied" << int(Threw | ReasonShown)
                                            << 0444 << 0;
    QTest::newRow("new file in read-only folder refused")
        << "new in read-only folder" << true << "Permission denied" << int(Threw | ReasonShown) << -1 << 0;
}

void TstSafeFile::save()
{
    QFETCH(QString, setup);
    QFETCH(bool, asNobody);
    QFETCH(QString, reason);
    QFETCH(int, flags);
    QFETCH(int, mode);
    QFETCH(int, backupMode);
    if (::geteuid() != 0)
        QSKIP("needs root to become another user");

    // A folder nobody may write (and search), outside the test's private one.
    QTemporaryDir tmp(QStringLiteral("/tmp/vq-safefile-XXXXXX"));
    const QString dir = tmp.path();
    QVERIFY(::chown(QFile::encodeName(dir).constData(), kNobody, kNobody) == 0);
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    const QString file = dir + QStringLiteral("/page.htm");
    QString saveAs = file;
    QString other;  // a second name of the file, or the symlink's target
    const QByteArray old("old\r\n"), fresh("new text\r\n");
    auto make = [&](const QString& path, int bits, uid_t owner) {
        QVERIFY(TestEnv::writeAll(path, old));
        QVERIFY(::chown(QFile::encodeName(path).constData(), owner, owner) == 0);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(bits)) == 0);
    };
    if (setup.startsWith(QLatin1String("plain "))) {
        make(file, setup.mid(6).toInt(nullptr, 8), kNobody);
    } else if (setup == QLatin1String("owned by nobody 0640")) {
        make(file, 0640, kNobody);
    } else if (setup == QLatin1String("owned by root 0666")) {
        make(file, 0666, 0);
    } else if (setup == QLatin1String("hard link")) {
        make(file, 0644, kNobody);
        other = dir + QStringLiteral("/other.htm");
        QVERIFY(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()) == 0);
    } else if (setup == QLatin1String("symlink")) {
        QVERIFY(QDir(dir).mkdir(QStringLiteral("real")));
        other = dir + QStringLiteral("/real/target.htm");
        make(other, 0644, kNobody);
        QVERIFY(QFile::link(other, file));
        ::lchown(QFile::encodeName(file).constData(), kNobody, kNobody);
        ::chown(QFile::encodeName(dir + QStringLiteral("/real")).constData(), kNobody, kNobody);
    } else if (setup == QLatin1String("read-only folder")) {
        make(file, 0644, kNobody);
        ::chmod(QFile::encodeName(dir).constData(), 0555);
    } else if (setup == QLatin1String("new in read-only folder")) {
        ::chmod(QFile::encodeName(dir).constData(), 0555);
    }
    const struct ::stat before = statOf(other.isEmpty() ? file : other);

    const int result = run(asNobody, [&] {
        SafeFile::WriteReport report;
        SafeFile::Options options;
        options.backupExtension = QStringLiteral("BAK");
        options.report = &report;
        int out = 0;
        try {
            SafeFile::write(saveAs, fresh, options);
        } catch (const EFileError& e) {
            out |= Threw;
            if (!reason.isEmpty() && e.message().contains(reason) && e.message().contains(saveAs))
                out |= ReasonShown;
        }
        return out | (report.setIdDropped ? SetIdDropped : 0) | (report.backupSkipped ? BackupSkipped : 0)
               | (report.inPlace ? InPlace : 0);
    });
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    QCOMPARE(result, flags);

    const QString real = setup == QLatin1String("symlink") ? other : file;
    const struct ::stat after = statOf(real);
    if (mode >= 0)
        QCOMPARE(int(after.st_mode & 07777), mode);
    QCOMPARE(TestEnv::readAll(real), reason.isEmpty() ? fresh : (mode >= 0 ? old : QByteArray()));
    if (reason.isEmpty()) {
        // Owner and group as they were.
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
    }
    if (flags & InPlace)
        QCOMPARE(after.st_ino, before.st_ino);
    if (setup == QLatin1String("hard link"))
        QCOMPARE(TestEnv::readAll(other), fresh);
    if (setup == QLatin1String("symlink"))
        QVERIFY(QFileInfo(file).isSymLink());
    const QString backup = dir + QStringLiteral("/page.BAK");
    QCOMPARE(QFileInfo::exists(backup), backupMode != 0);
    if (backupMode) {
        QCOMPARE(TestEnv::readAll(backup), old);
        QCOMPARE(int(statOf(backup).st_mode & 07777), backupMode);
    }
}

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    TstSafeFile tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_SafeFile.moc"
