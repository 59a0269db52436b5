#pragma once
#include <string>

namespace test_support {

// Stores a user name and password as the signed-in, remembered account in the current
// settings store.
void store_test_account(const std::string& user, const std::string& password);

} // namespace test_support
