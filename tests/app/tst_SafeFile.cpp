// Saves as an ordinary user, where root's rights would hide a refused or
// careless write: each case runs its write in a child process that has
// become the user nobody, without groups.
#include "TestEnv.h"
#include "app/AppError.h"
#include "app/SafeFile.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray attribute(const QString& path, const char* name)
{
    QByteArray value(4096, 0);
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), name, value.data(), size_t(value.size()));
    return n < 0 ? QByteArray() : value.left(n);
}

// A POSIX ACL as the kernel stores it: user::rw-, user:nobody:rw-,
// group::r--, mask::rw-, other::r--.
QByteArray aclGivingNobodyWrite()
{
    struct Entry {
        quint16 tag, perm;
        quint32 id;
    };
    const quint32 version = 2;
    const Entry list[] = {{0x01, 6, quint32(-1)}, {0x02, 6, kNobody}, {0x04, 4, quint32(-1)},
                          {0x10, 6, quint32(-1)}, {0x20, 4, quint32(-1)}};
    QByteArray blob(reinterpret_cast<const char*>(&version), sizeof version);
    blob.append(reinterpret_cast<const char*>(list), sizeof list);
    return blob;
}
} // namespace

class TstSafeFile : public QObject {
    Q_OBJECT
private slots:
    void save_data();
    void save();
    void interrupted_data();
    void interrupted();
    void keepsAttributes_data();
    void keepsAttributes();
    void tellsWhyWriteFailed_data();
    void tellsWhyWriteFailed();
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
    // The data folder, where the old text of a file in a read-only folder waits.
    QTemporaryDir data(QStringLiteral("/tmp/vq-safefile-data-XXXXXX"));
    QVERIFY(::chown(QFile::encodeName(data.path()).constData(), kNobody, kNobody) == 0);

    const int result = run(asNobody, [&] {
        qputenv("VELQUIST_HOME", data.path().toLocal8Bit());
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

// A save killed at each step where it leaves something behind: the old
// text stays recoverable, and the next save of the file removes every
// leftover and leaves only the file and its backup.
void TstSafeFile::interrupted_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("passes");             // times the step is let pass before the kill
    QTest::addColumn<QByteArray>("afterKill");   // the file's text after the kill; empty: torn
    QTest::addColumn<QStringList>("afterNextSave");

    const QStringList plain{"page.BAK", "page.htm"};
    QTest::newRow("new text written, not renamed") << "plain" << "new file written" << 1 << QByteArray("old\r\n") << plain;
    QTest::newRow("previous backup set aside") << "plain" << "backup set aside" << 0 << QByteArray("old\r\n") << plain;
    QTest::newRow("hard link half written") << "hard link" << "half written in place" << 0 << QByteArray()
                                            << QStringList{"other.htm", "page.BAK", "page.htm"};
    QTest::newRow("read-only folder half written")
        << "read-only folder" << "half written in place" << 0 << QByteArray() << QStringList{"page.htm"};
}

void TstSafeFile::interrupted()
{
    QFETCH(QString, setup);
    QFETCH(QString, step);
    QFETCH(int, passes);
    QFETCH(QByteArray, afterKill);
    QFETCH(QStringList, afterNextSave);
    if (::geteuid() != 0)
        QSKIP("needs root to become another user");

    QTemporaryDir tmp(QStringLiteral("/tmp/vq-safefile-XXXXXX"));
    const QString dir = tmp.path() + QStringLiteral("/site");
    const QString data = tmp.path() + QStringLiteral("/data");
    QVERIFY(QDir().mkpath(dir) && QDir().mkpath(data));
    for (const QString& d : {tmp.path(), dir, data})
        QVERIFY(::chown(QFile::encodeName(d).constData(), kNobody, kNobody) == 0);
    ::chmod(QFile::encodeName(tmp.path()).constData(), 0755);
    const QString file = dir + QStringLiteral("/page.htm");
    const QByteArray old("old\r\n"), fresh = QByteArray("new text\r\n").repeated(64);
    QVERIFY(TestEnv::writeAll(file, old));
    QVERIFY(TestEnv::writeAll(dir + QStringLiteral("/page.BAK"), "older backup"));
    if (setup == QLatin1String("hard link"))
        QVERIFY(::link(QFile::encodeName(file).constData(), QFile::encodeName(dir + "/other.htm").constData()) == 0);
    if (setup == QLatin1String("read-only folder"))
        QFile::remove(dir + QStringLiteral("/page.BAK"));
    for (const QString& name : entries(dir))
        QVERIFY(::chown(QFile::encodeName(dir + '/' + name).constData(), kNobody, kNobody) == 0);
    if (setup == QLatin1String("read-only folder"))
        ::chmod(QFile::encodeName(dir).constData(), 0555);

    auto save = [&](bool killAtStep) {
        return run(true, [&] {
            qputenv("VELQUIST_HOME", data.toLocal8Bit());
            SafeFile::Options options;
            options.backupExtension = QStringLiteral("BAK");
            if (killAtStep)
                options.checkpoint = [&, seen = 0](const char* at) mutable {
                    if (step == QLatin1String(at) && seen++ == passes)
                        ::raise(SIGKILL);
                };
            return SafeFile::tryWrite(file, fresh, nullptr, options) ? 0 : 1;
        });
    };
    QCOMPARE(save(true), -1);
    const QByteArray torn = TestEnv::readAll(file);
    if (afterKill.isEmpty()) {
        QVERIFY(torn != old && torn != fresh);
        const int found = run(true, [&] {
            qputenv("VELQUIST_HOME", data.toLocal8Bit());
            const QString copy = SafeFile::interruptedSave(file);
            if (copy.isEmpty())
                return 1;
            return TestEnv::readAll(copy) == old && (statOf(copy).st_mode & 0777) == 0600 ? 0 : 2;
        });
        QCOMPARE(found, 0);  // 1: no copy of the old text; 2: not the old text, or not private
    } else {
        QCOMPARE(torn, afterKill);
    }

    QCOMPARE(save(false), 0);
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    QCOMPARE(TestEnv::readAll(file), fresh);
    QCOMPARE(entries(dir), afterNextSave);
    QCOMPARE(entries(data + QStringLiteral("/saving")), QStringList());
    if (afterNextSave.contains(QStringLiteral("page.BAK")))
        QCOMPARE(TestEnv::readAll(dir + QStringLiteral("/page.BAK")), afterKill.isEmpty() ? torn : old);
}

// Extended attributes and POSIX ACLs stay with the file and go to its backup.
void TstSafeFile::keepsAttributes_data()
{
    QTest::addColumn<bool>("hardLink");
    QTest::newRow("new file replaces the old") << false;
    QTest::newRow("written in place") << true;
}

void TstSafeFile::keepsAttributes()
{
    QFETCH(bool, hardLink);
    QTemporaryDir tmp(QStringLiteral("/tmp/vq-safefile-XXXXXX"));
    const QString file = tmp.path() + QStringLiteral("/page.htm");
    QVERIFY(TestEnv::writeAll(file, "old\n"));
    const QByteArray path = QFile::encodeName(file);
    if (::setxattr(path.constData(), "user.origin", "site", 4, 0) != 0)
        QSKIP("the file system takes no user attributes");
    const QByteArray acl = aclGivingNobodyWrite();
    if (::setxattr(path.constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()), 0) != 0)
        QSKIP("the file system takes no ACLs");
    if (hardLink)
        QVERIFY(::link(path.constData(), QFile::encodeName(tmp.path() + "/other.htm").constData()) == 0);
    const QByteArray aclBefore = attribute(file, "system.posix_acl_access");
    const int modeBefore = int(statOf(file).st_mode & 07777);

    SafeFile::Options options;
    options.backupExtension = QStringLiteral("BAK");
    SafeFile::write(file, "new\n", options);
    for (const QString& written : {file, tmp.path() + QStringLiteral("/page.BAK")}) {
        QCOMPARE(attribute(written, "user.origin"), QByteArray("site"));
        QCOMPARE(attribute(written, "system.posix_acl_access"), aclBefore);
        QCOMPARE(int(statOf(written).st_mode & 07777), modeBefore);
    }
}

// A write the file system refuses half way names the system's reason; the
// file and its previous backup stay as they were.
void TstSafeFile::tellsWhyWriteFailed_data()
{
    QTest::addColumn<bool>("existing");
    QTest::newRow("new file") << false;
    QTest::newRow("existing file") << true;
}

void TstSafeFile::tellsWhyWriteFailed()
{
    QFETCH(bool, existing);
    QTemporaryDir tmp;
    const QString file = tmp.path() + QStringLiteral("/page.htm");
    const QString backup = tmp.path() + QStringLiteral("/page.BAK");
    if (existing) {
        QVERIFY(TestEnv::writeAll(file, "old\n"));
        QVERIFY(TestEnv::writeAll(backup, "older\n"));
    }
    const QByteArray expected = QByteArray(::strerror(EFBIG));
    // A file size limit cuts the write short, as a full disk does.
    const int result = run(false, [&] {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SafeFile::Options options;
        options.backupExtension = QStringLiteral("BAK");
        QString error;
        if (SafeFile::tryWrite(file, QByteArray(64 * 1024, 'x'), &error, options))
            return 1;
        return error.contains(QString::fromLocal8Bit(expected)) && error.contains(file) ? 0 : 2;
    });
    QCOMPARE(result, 0);
    QCOMPARE(TestEnv::readAll(file), existing ? QByteArray("old\n") : QByteArray());
    const QStringList left = existing ? QStringList{"page.BAK", "page.htm"} : QStringList();
    QCOMPARE(entries(tmp.path()), left);
    if (existing)
        QCOMPARE(TestEnv::readAll(backup), QByteArray("older\n"));
}

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    TstSafeFile tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_SafeFile.moc"
