#include "support/test_account.h"

#include "settings/app_settings.h"

namespace test_support {

void store_test_account(const std::string& user, const std::string& password)
{
    AppSettings settings;
    settings.load();
    settings.username = user;
    settings.password = password;
    settings.remember_user = true; // written to the store, as a later start finds it
    settings.save();
}

} // namespace test_support
