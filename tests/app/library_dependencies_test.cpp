#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "app/library_dependencies.h"
#include "support/test_paths.h"

namespace {

using testing::Contains;
using testing::IsEmpty;

TEST(NeededLibraries, AreReadFromABuiltLibraryAndNothingFromADamagedOrForeignFile)
{
    const std::string library = test_support::built_program("libkalvo-splash.so");
    std::vector<std::string> needed = needed_libraries(library);
    EXPECT_THAT(needed, Contains("libxcb.so.1"));
    EXPECT_THAT(needed, Contains("libpng16.so.16"));

    test_support::TempDir folder;
    std::string bytes = test_support::read_file(library);
    ASSERT_GT(bytes.size(), 4096u);
    // Cut inside the program headers, and cut before the dynamic section's strings.
    test_support::write_file(folder.file("headers.so"), bytes.substr(0, 100));
    EXPECT_THAT(needed_libraries(folder.file("headers.so")), IsEmpty());
    test_support::write_file(folder.file("half.so"), bytes.substr(0, 2048));
    EXPECT_THAT(needed_libraries(folder.file("half.so")), IsEmpty());
    test_support::write_file(folder.file("script.so"), "#!/bin/sh\necho not a library\n");
    EXPECT_THAT(needed_libraries(folder.file("script.so")), IsEmpty());
    EXPECT_THAT(needed_libraries(folder.file("missing.so")), IsEmpty());
}

} // namespace
