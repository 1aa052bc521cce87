#include "desktop/NamedMutex.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace zrv::desktop;

namespace {

class NamedMutexTest : public testing::Test {
protected:
    // A name of this run only, removed from the system afterwards.
    const QString name = QStringLiteral("ZorvaFortune Editor test %1").arg(getpid());
    void TearDown() override { NamedMutex::Remove(name); }
};

TEST_F(NamedMutexTest, firstOpenCreatesLaterOpensFindIt)
{
    EXPECT_FALSE(NamedMutex::Exists(name));
    const NamedMutex first(name);
    ASSERT_TRUE(first.isValid());
    EXPECT_FALSE(first.alreadyExisted());
    EXPECT_TRUE(NamedMutex::Exists(name));
    const NamedMutex second(name);
    ASSERT_TRUE(second.isValid());
    EXPECT_TRUE(second.alreadyExisted());
}

TEST_F(NamedMutexTest, notOwnedUnlessAskedAndOnlyOneOwnerAtATime)
{
    NamedMutex plain(name);
    EXPECT_FALSE(plain.owned());
    {
        const NamedMutex owner(name, true);
        EXPECT_TRUE(owner.owned());
        EXPECT_FALSE(plain.tryLock());
    } // the owner's end gives the mutex back
    EXPECT_TRUE(plain.tryLock());
    EXPECT_TRUE(plain.unlock());
    EXPECT_FALSE(plain.unlock());
}

TEST_F(NamedMutexTest, namesArePrivateToTheUserAndCarryNoSlash)
{
    const QByteArray systemName = NamedMutex::SystemName(QStringLiteral("a/b"));
    EXPECT_EQ(systemName, "/zrv-" + QByteArray::number(getuid()) + "-a_b");
    EXPECT_LE(NamedMutex::SystemName(QString(400, u'x')).size(), 251);
}

TEST_F(NamedMutexTest, createMutexHandleLivesUntilClosed)
{
    const QByteArray ansi = name.toLocal8Bit();
    const HANDLE handle = CreateMutexA(nullptr, FALSE, ansi.constData());
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(NamedMutex::Exists(name));
    EXPECT_FALSE(ReleaseMutex(handle)); // never owned
    const HANDLE owned = CreateMutexA(nullptr, TRUE, ansi.constData());
    ASSERT_NE(owned, nullptr);
    EXPECT_TRUE(ReleaseMutex(owned));
    EXPECT_TRUE(CloseHandle(owned));
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(CloseHandle(handle));
}

} // namespace
