// The user's sign list file and its place in the port numbering.
#include "link/SignList.h"
#include "link/PortNaming.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
} // namespace

TEST(SignList, MissingFileIsAnEmptyList)
{
    QTemporaryDir dir;
    SignList list(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_TRUE(list.load());
    EXPECT_EQ(list.status(), SignList::Status::Missing);
    EXPECT_TRUE(list.signs().empty());
}

TEST(SignList, SavedListReadsBackInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/signs.ini"));
    SignList list(path);
    ASSERT_TRUE(list.load());
    EXPECT_TRUE(list.add(QStringLiteral("门口"), QStringLiteral("tcp://127.0.0.1:4001")).isEmpty());
    EXPECT_TRUE(list.add(QStringLiteral("car-park"), QStringLiteral("/dev/ttyUSB0")).isEmpty());
    EXPECT_TRUE(list.add(QStringLiteral("CAR-PARK"), QStringLiteral("/dev/ttyUSB1")).isEmpty())
        << "same name in another case changes the port";
    ASSERT_TRUE(list.save());

    SignList again(path);
    ASSERT_TRUE(again.load());
    ASSERT_EQ(again.signs().size(), 2u);
    EXPECT_EQ(again.signs()[0].name, QStringLiteral("门口"));
    EXPECT_EQ(again.signs()[1].port, QStringLiteral("/dev/ttyUSB1"));
    EXPECT_TRUE(again.remove(QStringLiteral("门口")));
    EXPECT_FALSE(again.remove(QStringLiteral("门口")));
    ASSERT_TRUE(again.save());
    SignList third(path);
    ASSERT_TRUE(third.load());
    EXPECT_EQ(third.signs().size(), 1u);
}

TEST(SignList, BadEntriesAreSkippedOneProblemEach)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("signs.ini"));
    writeFile(path, "[signs]\n"
                    "1\\name=good\n1\\port=tcp://127.0.0.1:4001\n"
                    "2\\name=\n2\\port=/dev/ttyS0\n"         // no name
                    "3\\name=7\n3\\port=/dev/ttyS0\n"        // looks like a port
                    "4\\name=net\n4\\port=tcp://127.0.0.1\n" // no TCP port
                    "5\\name=GOOD\n5\\port=/dev/ttyS1\n"     // repeated name
                    "6\\name=num\n6\\port=3\n"               // a number is no port
                    "7\\name=usb\n7\\port=/dev/ttyUSB0\n"
                    "size=9\n"); // 8, 9: nothing there
    SignList list(path);
    ASSERT_TRUE(list.load());
    ASSERT_EQ(list.signs().size(), 2u);
    EXPECT_EQ(list.signs()[0].name, QStringLiteral("good"));
    EXPECT_EQ(list.signs()[1].name, QStringLiteral("usb"));
    EXPECT_EQ(list.problems().size(), 7);
}

TEST(SignList, RejectsNamesThatLookLikePorts)
{
    for (const char *name : {"", " padded", "12", "COM3", "tcp://x:1", "a/b", "a=b", "a,b"})
        EXPECT_FALSE(SignList::checkName(QString::fromUtf8(name)).isEmpty()) << name;
    for (const char *name : {"front", "门口屏", "COMPANY", "shop-2"})
        EXPECT_TRUE(SignList::checkName(QString::fromUtf8(name)).isEmpty()) << name;
}

#ifndef Q_OS_WIN
TEST(SignList, UnreadableFileIsReportedAndLeftAlone)
{
    QTemporaryDir dir;
    // A folder where the file should be cannot be read, by anyone.
    SignList folder(dir.path());
    EXPECT_FALSE(folder.load());
    EXPECT_EQ(folder.status(), SignList::Status::Unreadable);
    EXPECT_FALSE(folder.save());
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const QString path = dir.filePath(QStringLiteral("signs.ini"));
    writeFile(path, "[signs]\n1\\name=a\n1\\port=/dev/ttyS0\nsize=1\n");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    SignList list(path);
    EXPECT_FALSE(list.load());
    EXPECT_EQ(list.status(), SignList::Status::Unreadable);
    EXPECT_TRUE(list.add(QStringLiteral("b"), QStringLiteral("/dev/ttyS1")).isEmpty());
    QString error;
    EXPECT_FALSE(list.save(&error)) << "a file it could not read is never overwritten";
    EXPECT_FALSE(error.isEmpty());
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    SignList again(path);
    ASSERT_TRUE(again.load());
    ASSERT_EQ(again.signs().size(), 1u);
    EXPECT_EQ(again.signs()[0].name, QStringLiteral("a"));
}

TEST(SignList, SignsAreNumberedAfterTheEnvironmentList)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("signs.ini"));
    SignList list(path);
    list.load();
    list.add(QStringLiteral("net"), QStringLiteral("tcp://127.0.0.1:4001"));
    list.add(QStringLiteral("dup"), QStringLiteral("/dev/a"));
    ASSERT_TRUE(list.save());
    const QByteArray oldSigns = qgetenv("BRIVANE_SIGNS");
    qputenv("BRIVANE_SIGNS", path.toLocal8Bit());
    qputenv("BRIVANE_PORTS", "/dev/a,/dev/b");
    EXPECT_EQ(PortNaming::devices(), (QStringList{"/dev/a", "/dev/b", "tcp://127.0.0.1:4001"}));
    EXPECT_EQ(PortNaming::portForDevice(QStringLiteral("TCP://127.0.0.1:4001")), 3);
    qunsetenv("BRIVANE_PORTS");
    qputenv("BRIVANE_SIGNS", oldSigns);
    PortNaming::setExplicitDevices({});
}
#endif

TEST(SignList, AFileOverTheSizeCapIsNotReadNorOverwritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("signs.ini"));
    const QByteArray head = "[signs]\n1\\name=a\n1\\port=/dev/ttyS0\nsize=1\n";
    for (const qint64 size : {SignList::MaxFileBytes, SignList::MaxFileBytes + 1}) {
        SCOPED_TRACE(size);
        writeFile(path, head + QByteArray(size - head.size(), ';'));
        SignList list(path);
        const bool capped = size > SignList::MaxFileBytes;
        EXPECT_EQ(list.load(), !capped);
        EXPECT_EQ(list.signs().size(), capped ? 0u : 1u);
        EXPECT_EQ(list.problems().size(), capped ? 1u : 0u);
        if (capped) {
            EXPECT_FALSE(list.save());
            EXPECT_EQ(QFileInfo(path).size(), size);
        }
    }
}
