#include "tests/runtime/registry/RegistryFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using zrv::test::RegistryFixture;

namespace {

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs sql on the database file and returns the first column of the first row.
std::string SqliteQuery(const std::string& file, const char* sql)
{
    sqlite3* db = nullptr;
    std::string answer;
    if (sqlite3_open(file.c_str(), &db) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
            answer = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return answer;
}

uint64_t LastWrite(HKEY key)
{
    FILETIME written{};
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, &written),
              ERROR_SUCCESS);
    return (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

} // namespace

using RegistryNames = RegistryFixture;

TEST_F(RegistryNames, lookupIgnoresCase_enumerationKeepsCreatedCase)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Software\\Zorva\\MixedCase");
    ASSERT_EQ(SetString(key, "ValueName", "one"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "VALUENAME", "two"), ERROR_SUCCESS);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "software\\ZORVA\\mixedcase", "valuename"), "two");
    EXPECT_EQ(ValueNames(key), std::vector<std::string>{"ValueName"});
    RegCloseKey(key);

    HKEY parent = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\zorva", 0, KEY_READ, &parent),
              ERROR_SUCCESS);
    EXPECT_EQ(SubKeyNames(parent), std::vector<std::string>{"MixedCase"});
    RegCloseKey(parent);
}

TEST_F(RegistryNames, nonAsciiNamesFoldTheirLetters)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Ärger\\ΣΟΦΙΑ\\Привет");
    RegCloseKey(key);
    HKEY opened = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "ärger\\σοφια\\привет", 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    RegCloseKey(opened);
}

TEST_F(RegistryNames, subkeysSortByFoldedName_valuesKeepCreationOrder)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Order");
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2", "Beta1"})
        RegCloseKey(Create(key, name));
    for (const char* name : {"zeta", "Alpha", "mid"})
        ASSERT_EQ(SetString(key, name, name), ERROR_SUCCESS);
    // Replacing a value keeps its place.
    ASSERT_EQ(SetString(key, "ZETA", "again"), ERROR_SUCCESS);

    EXPECT_EQ(SubKeyNames(key),
              (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "Beta1", "gamma"}));
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    RegCloseKey(key);
}

using RegistryBuffers = RegistryFixture;

TEST_F(RegistryBuffers, smallBufferReportsSizeNeeded_stringsKeepTerminator)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Buffers");
    const char text[] = "twelve chars";
    // Stored with a terminator even when the caller leaves it out.
    ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 12),
              ERROR_SUCCESS);

    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 13u);
    EXPECT_EQ(type, REG_SZ);

    char small[5]{};
    size = sizeof small;
    EXPECT_EQ(
        RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 13u);

    char exact[13];
    size = sizeof exact;
    EXPECT_EQ(
        RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::string(exact, size), std::string("twelve chars", 13));
    RegCloseKey(key);
}

TEST_F(RegistryBuffers, enumerationNameBuffersCountTheTerminator)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Names");
    RegCloseKey(Create(key, "four"));
    ASSERT_EQ(SetString(key, "five5", "x"), ERROR_SUCCESS);

    char name[8];
    DWORD length = 4;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    length = 5;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(length, 4u);
    EXPECT_STREQ(name, "four");

    // A zero-size class buffer cannot take even the terminator, but the name is filled.
    char cls[1];
    DWORD clsLength = 0;
    length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, cls, &clsLength, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(std::string(name, length), "four");

    length = 5;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    char data[1];
    DWORD dataSize = 1;
    length = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &length, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                            &dataSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 2u);

    EXPECT_EQ(RegEnumKeyExA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumValueA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(RegistryBuffers, dwordAndBinaryValuesReadBackAsStored)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Types");
    const DWORD number = 0xDEADBEEF;
    ASSERT_EQ(RegSetValueExA(key, "n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "bad", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 2),
              ERROR_INVALID_PARAMETER);
    const BYTE bytes[] = {0, 1, 0, 255};
    ASSERT_EQ(RegSetValueExA(key, "b", 0, REG_BINARY, bytes, 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);

    DWORD read = 0;
    DWORD size = sizeof read;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "N", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, number);
    EXPECT_EQ(type, REG_DWORD);
    BYTE back[8];
    size = sizeof back;
    EXPECT_EQ(RegQueryValueExA(key, "b", nullptr, &type, back, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::vector<BYTE>(back, back + size), std::vector<BYTE>(bytes, bytes + 4));
    size = sizeof back;
    EXPECT_EQ(RegQueryValueExA(key, "empty", nullptr, &type, back, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    RegCloseKey(key);
}

using RegistryKeys = RegistryFixture;

TEST_F(RegistryKeys, missingKeysAndValuesAreNotFound_andCreateNoHive)
{
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Nothing\\Here", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Nothing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(UserHive()));
    EXPECT_FALSE(std::filesystem::exists(MachineHive()));

    key = Create(HKEY_CURRENT_USER, "Present");
    EXPECT_TRUE(std::filesystem::exists(UserHive()));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "absent", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, "absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetString(key, "x", "y"), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryKeys, createReportsDisposition)
{
    HKEY key = 0;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a\\b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
}

TEST_F(RegistryKeys, deleteRefusesKeyWithSubkeys_treeDeletesAll)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, "Doomed\\Child\\Grandchild"));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Doomed"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Doomed\\Child\\Grandchild", "x"), "error 2");

    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Doomed\\Child\\Grandchild"), ERROR_SUCCESS);
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Doomed\\Child\\Grandchild", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);

    RegCloseKey(Create(HKEY_CURRENT_USER, "Doomed\\Child\\Other"));
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Doomed"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Doomed", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryKeys, handleOfDeletedKeyNoLongerWrites)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Transient");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Transient"), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "v", "lost"), ERROR_KEY_DELETED);
    RegCloseKey(Create(HKEY_CURRENT_USER, "Transient"));
    // The new key of the same name is not the one the old handle held.
    EXPECT_EQ(SetString(key, "v", "lost"), ERROR_KEY_DELETED);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Transient", "v"), "error 2");
    RegCloseKey(key);
}

TEST_F(RegistryKeys, accessMaskOfHandleIsEnforced)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, "Guarded"));
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Guarded", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "v", "x"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Guarded", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "v", "x"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
}

TEST_F(RegistryKeys, lastWriteTimeMovesOnEveryValueChange)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Timed");
    const uint64_t created = LastWrite(key);
    EXPECT_GT(created, 116444736000000000ull);
    ASSERT_EQ(SetString(key, "v", "1"), ERROR_SUCCESS);
    const uint64_t firstWrite = LastWrite(key);
    EXPECT_GT(firstWrite, created);
    ASSERT_EQ(SetString(key, "v", "2"), ERROR_SUCCESS);
    const uint64_t secondWrite = LastWrite(key);
    EXPECT_GT(secondWrite, firstWrite);
    ASSERT_EQ(RegDeleteValueA(key, "v"), ERROR_SUCCESS);
    EXPECT_GT(LastWrite(key), secondWrite);
    RegCloseKey(key);
}

TEST_F(RegistryKeys, queryInfoCountsAndMeasuresEntries)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Info");
    RegCloseKey(Create(key, "short"));
    RegCloseKey(Create(key, "longer name"));
    ASSERT_EQ(SetString(key, "v", "123456789"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "value", ""), ERROR_SUCCESS);
    DWORD subKeys = 0, maxSubKey = 0, maxClass = 9, values = 0, maxValueName = 0, maxValue = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, &maxClass,
                               &values, &maxValueName, &maxValue, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(maxSubKey, 11u);
    EXPECT_EQ(maxClass, 0u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxValueName, 5u);
    EXPECT_EQ(maxValue, 10u);
    RegCloseKey(key);
}

using RegistryClassesRoot = RegistryFixture;

TEST_F(RegistryClassesRoot, mergesBothHives_userEntriesWin)
{
    const HKEY machine = Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\.xls");
    ASSERT_EQ(SetString(machine, "", "Machine.Sheet"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(machine, "Content Type", "application/machine"), ERROR_SUCCESS);
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\MachineOnly"));
    RegCloseKey(machine);
    const HKEY user = Create(HKEY_CURRENT_USER, "Software\\Classes\\.XLS");
    ASSERT_EQ(SetString(user, "", "User.Sheet"), ERROR_SUCCESS);
    RegCloseKey(user);
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Classes\\UserOnly"));

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".xls", ""), "User.Sheet");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".xls", "Content Type"), "application/machine");
    EXPECT_EQ(SubKeyNames(HKEY_CLASSES_ROOT),
              (std::vector<std::string>{".XLS", "MachineOnly", "UserOnly"}));
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".xls", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"", "Content Type"}));
    RegCloseKey(key);
}

TEST_F(RegistryClassesRoot, writesGoToMachineHiveWhileItIsWritable)
{
    const HKEY key = Create(HKEY_CLASSES_ROOT, "CLSID\\{1}");
    ASSERT_EQ(SetString(key, "", "class"), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID\\{1}", ""), "class");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\{1}", ""), "error 2");
}

TEST_F(RegistryClassesRoot, readOnlyMachineHive_readsWork_writesGoToUser)
{
    const HKEY machine = Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\Shared");
    ASSERT_EQ(SetString(machine, "", "from machine"), ERROR_SUCCESS);
    RegCloseKey(machine);
    ASSERT_EQ(chmod(MachineHive().c_str(), 0444), 0);
    ASSERT_EQ(chmod(MachineFolder().c_str(), 0555), 0);
    const std::string before = FileBytes(MachineHive());

    // Full access opens; writing is what fails.
    HKEY key = 0;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\Shared", 0, KEY_ALL_ACCESS, &key),
        ERROR_SUCCESS);
    EXPECT_EQ(ReadString(key, ""), "from machine");
    EXPECT_EQ(SetString(key, "", "changed"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);

    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Shared", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "", "from user"), ERROR_SUCCESS);
    RegCloseKey(key);
    RegCloseKey(Create(HKEY_CLASSES_ROOT, "Fresh"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Shared", ""), "from user");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Classes\\Shared", ""), "from user");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, "Software\\Classes\\Shared", ""), "from machine");
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\Fresh", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(FileBytes(MachineHive()), before);
    chmod(MachineFolder().c_str(), 0755);
}

using RegistryHiveFiles = RegistryFixture;

TEST_F(RegistryHiveFiles, corruptHiveIsAnErrorAndStaysByteIdentical)
{
    std::filesystem::create_directories(std::filesystem::path(UserHive()).parent_path());
    std::string garbage = "SQLite format 3";
    garbage += '\0';
    for (int i = 0; i < 300; ++i)
        garbage += static_cast<char>(i * 37);
    {
        std::ofstream out(UserHive(), std::ios::binary);
        out << garbage;
    }
    HKEY key = 0;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_NE(SetString(HKEY_CURRENT_USER, "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(FileBytes(UserHive()), garbage);
}

TEST_F(RegistryHiveFiles, foreignDatabaseIsNotTakenForAHive)
{
    std::filesystem::create_directories(std::filesystem::path(UserHive()).parent_path());
    SqliteQuery(UserHive(), "CREATE TABLE other(x)");
    ASSERT_EQ(SqliteQuery(UserHive(), "SELECT count(*) FROM sqlite_master"), "1");
    const std::string before = FileBytes(UserHive());
    EXPECT_EQ(SetString(HKEY_CURRENT_USER, "v", "x"), ERROR_BADDB);
    EXPECT_EQ(FileBytes(UserHive()), before);
}

TEST_F(RegistryHiveFiles, unreadableHiveIsAnError)
{
    std::filesystem::create_directories(UserHive());
    HKEY key = 0;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(SetString(HKEY_CURRENT_USER, "v", "x"), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_directory(UserHive()));
}

TEST_F(RegistryHiveFiles, severalProcessesWritingOneHiveLoseNothing)
{
    constexpr int Writers = 4;
    constexpr int ValuesEach = 40;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < ValuesEach; ++i) {
                HKEY key = 0;
                const std::string path = "Shared\\Writer" + std::to_string(writer % 2);
                failures +=
                    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr) != ERROR_SUCCESS;
                const std::string name = std::to_string(writer) + "-" + std::to_string(i);
                failures += SetString(key, name.c_str(), name) != ERROR_SUCCESS;
                RegCloseKey(key);
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int writer = 0; writer < Writers; ++writer) {
        for (int i = 0; i < ValuesEach; ++i) {
            const std::string path = "Shared\\Writer" + std::to_string(writer % 2);
            const std::string name = std::to_string(writer) + "-" + std::to_string(i);
            EXPECT_EQ(ReadString(HKEY_CURRENT_USER, path.c_str(), name.c_str()), name);
        }
    }
    EXPECT_EQ(SqliteQuery(UserHive(), "PRAGMA integrity_check"), "ok");
}

TEST_F(RegistryHiveFiles, hivesFollowTheEnvironmentAtEachOpen)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, "First"));
    const std::string firstHive = UserHive();
    SetUp();
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "First", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(std::filesystem::exists(firstHive));
    EXPECT_FALSE(std::filesystem::exists(UserHive()));
}

TEST_F(RegistryHiveFiles, ordinaryUserReadsTheMachineHiveButCannotWriteIt)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs to start as the superuser to become an ordinary user";
    // Written by an installer that has ended: its WAL files are gone, and
    // a reader may not create them in the machine's folder.
    const std::string add =
        std::string(ZRVREG_PATH) +
        " add 'HKLM\\Software\\Player' /v 'Inno Setup: App Path' /d /opt/player >/dev/null";
    ASSERT_EQ(std::system(add.c_str()), 0);
    ASSERT_FALSE(std::filesystem::exists(MachineHive() + "-wal"));
    // Let others through the temporary folders, as /etc/xdg lets them.
    for (std::filesystem::path folder = MachineFolder(); folder != "/" && folder != "/tmp";
         folder = folder.parent_path())
        chmod(folder.c_str(), 0755);

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(10);
        HKEY opened = 0;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Player", 0, KEY_ALL_ACCESS, &opened) !=
            ERROR_SUCCESS)
            _exit(11);
        if (ReadString(opened, "Inno Setup: App Path") != "/opt/player")
            _exit(12);
        if (SetString(opened, "Inno Setup: App Path", "/tmp/evil") != ERROR_ACCESS_DENIED)
            _exit(13);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, "Software\\Player", "Inno Setup: App Path"),
              "/opt/player");
}

TEST_F(RegistryHiveFiles, hiveDeletedWhileOpenIsMadeAfreshForTheNextWrite)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Before");
    RegCloseKey(key);
    std::filesystem::remove_all(std::filesystem::path(UserHive()).parent_path());
    RegCloseKey(Create(HKEY_CURRENT_USER, "After"));
    ASSERT_TRUE(std::filesystem::exists(UserHive()));
    EXPECT_EQ(
        SqliteQuery(UserHive(), "SELECT count(*) FROM keys WHERE name = CAST('After' AS BLOB)"),
        "1");
}

TEST_F(RegistryHiveFiles, handleIntoAReplacedHiveDoesNotWriteToAnotherKey)
{
    const HKEY old = Create(HKEY_CURRENT_USER, "A\\B\\C");
    std::filesystem::remove_all(std::filesystem::path(UserHive()).parent_path());
    // The new file's keys get the ids the old ones had.
    const HKEY fresh = Create(HKEY_CURRENT_USER, "X\\Y\\Z");
    RegCloseKey(fresh);
    EXPECT_EQ(SetString(old, "v", "stray"), ERROR_KEY_DELETED);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "X\\Y\\Z", "v"), "error 2");
    RegCloseKey(old);
}

TEST_F(RegistryClassesRoot, deletingAMergedKeyRemovesItFromBothHives)
{
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\Both"));
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Classes\\Both"));
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Classes\\Tree\\Sub"));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "both"), ERROR_SUCCESS);
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Both", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\Both", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\Tree", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}
