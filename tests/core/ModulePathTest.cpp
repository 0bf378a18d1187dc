#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/AppModule.h"
#include "core/Utf8.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace lacqueron {
namespace {

struct PathCase {
    const char16_t* path;
    const char16_t* directory;
};

const PathCase kPathCases[] = {
    {u"C:\\A\\b.exe", u"C:\\A\\"},
    {u"C:/A/b.exe", u"C:/A\\"},
    {u"C:b.exe", u"C:\\"},
    {u"C:\\A/b\\c.exe", u"C:\\A/b\\"},
    {u"C:\\A\\b/c.exe", u"C:\\A\\b\\"},
    {u"\\\\server\\share\\Lacqueron.exe", u"\\\\server\\share\\"},
    {u"C:\\Программы\\Краски\\Lacqueron.exe", u"C:\\Программы\\Краски\\"},
    {u"/usr/bin/lacqueron", u"/usr/bin\\"},
    {u"C:\\A\\", u"C:\\A\\"},
    {u"C:", u"C:\\"},
    {u"Lacqueron.exe", u""},
    {u"\\Lacqueron.exe", u""},
    {u"", u""},
};

class DirectoryOfPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(DirectoryOfPathTest, KeepsTheTextBeforeTheLastSeparator) {
    EXPECT_EQ(DirectoryOfPath(GetParam().path), WideString(GetParam().directory));
}

INSTANTIATE_TEST_SUITE_P(Paths, DirectoryOfPathTest, ::testing::ValuesIn(kPathCases));

// The module directory is the folder that holds this very test program.
TEST(ModuleDirectory, HoldsTheRunningProgram) {
    AppModule module;
    const WideString directory = module.GetModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), u'\\');
#ifdef _WIN32
    const WideString program = directory + u"core_tests.exe";
    EXPECT_NE(GetFileAttributesW(WinText(program)), INVALID_FILE_ATTRIBUTES) << ToUtf8(program);
#else
    std::string program = ToUtf8(directory);
    program.back() = '/';
    program += "core_tests";
    std::FILE* file = std::fopen(program.c_str(), "rb");
    EXPECT_NE(file, nullptr) << program;
    if (file != nullptr) std::fclose(file);
#endif
}

}  // namespace
}  // namespace lacqueron
