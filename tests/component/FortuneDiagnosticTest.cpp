// The component's log: a change the engine passes over quietly still answers
// S_OK, and its reason reaches standard error as one "zrvfort:" line.

#include "runtime/com/BString.h"
#include "tests/component/ArchiveText.h"
#include "tests/component/CComponentLibrary.h"
#include "tests/support/TempHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using zrv::test::FortuneLibrary;

std::u16string Wide(const std::string& ascii)
{
    return {ascii.begin(), ascii.end()};
}

TEST(FortuneDiagnostics, refusedRewrite_answersAsBeforeAndLogsWhy)
{
    ASSERT_TRUE(FortuneLibrary().IsLoaded()) << FortuneLibrary().LoadError();
    const std::string file = zrv::test::MakeTempDir("diag") + "/Proverbs";
    const std::string original = "H\n%\none\n%\ntwo";
    zrv::test::WriteBytes(file, original);
    // A folder where the temporary file of a rewrite belongs refuses every rewrite.
    std::filesystem::create_directory(file + ".zrv.tmp");
    {
        ComPtr<IFortune> fortune = FortuneLibrary().CreateFortune();
        ASSERT_TRUE(fortune);
        ASSERT_EQ(fortune->Load(BString(Wide(file)).get()), S_OK);
        testing::internal::CaptureStderr();
        const HRESULT replaced = fortune->put_Item(1, BString(u"new").get());
        const HRESULT deleted = fortune->Delete(9);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(replaced, S_OK);
        EXPECT_EQ(deleted, S_OK);
        EXPECT_EQ(log, "zrvfort: The temporary file was not removed (" + file +
                           ".zrv.tmp): Is a directory\n"
                           "zrvfort: The fortune was not replaced (" +
                           file +
                           "): the archive could not be written (File exists)\n"
                           "zrvfort: The fortune was not deleted (" +
                           file + "): fortune 9 is out of range\n");
    }
    EXPECT_EQ(zrv::test::ReadBytes(file), original);
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK);
}

} // namespace
