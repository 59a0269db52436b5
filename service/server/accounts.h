#pragma once
#include <map>
#include <mutex>
#include <optional>
#include <string>

// One demo account of the accounts file.
struct Account {
    std::string name;
    std::string password;
    std::string type; // "pro" or another tier
    std::string details; // account details text
    std::string info_version; // version number of the information message
    bool show_info = false; // force the information window at each login
    std::string proxy; // outbound proxy; empty = the default gateway
    int voicemail_new = 0;
    int voicemail_old = 0;
};

// The accounts file: INI sections named after the user, keys as in Account.
// Unknown keys and malformed lines are reported in `problems` and skipped.
std::map<std::string, Account> parse_accounts(const std::string& text, std::string* problems);

// The service's accounts and the values tests change while it runs (voice-mail
// counts, the current program version), shared by the request threads.
class AccountBook {
public:
    AccountBook(std::map<std::string, Account> accounts, std::string version);

    std::optional<Account> find(const std::string& name) const;
    // The account when `digest` is the MD5 digest of its password (any letter case).
    std::optional<Account> authenticate(const std::string& name, const std::string& digest) const;
    std::map<std::string, Account> all() const;

    bool set_voicemail(const std::string& name, int new_count, int old_count);

    // The current version the version reply reports: the account's own when one
    // was set for it, else the service-wide one.
    std::string version_for(const std::string& name) const;
    void set_version(const std::string& version);
    bool set_version(const std::string& name, const std::string& version);

private:
    mutable std::mutex m_mutex;
    std::map<std::string, Account> m_accounts;
    std::string m_version;
    std::map<std::string, std::string> m_account_versions;
};
