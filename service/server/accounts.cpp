#include "accounts.h"

#include <sstream>
#include <strings.h>

#include "digest.h"

namespace {

std::string trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool parse_count(const std::string& text, int& out)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::stoi(text);
    return true;
}

// A name that fits a SIP user part, a query value and a db_text row unchanged.
bool plain_name(const std::string& name)
{
    return !name.empty() &&
        name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._+-") ==
        std::string::npos;
}

bool apply(Account& account, const std::string& key, const std::string& value)
{
    if (key == "password")
        account.password = value;
    else if (key == "type")
        account.type = value;
    else if (key == "details")
        account.details = value;
    else if (key == "info_version")
        account.info_version = value;
    else if (key == "show_info")
        account.show_info = (value == "true");
    else if (key == "proxy")
        account.proxy = value;
    else if (key == "voicemail_new")
        return parse_count(value, account.voicemail_new);
    else if (key == "voicemail_old")
        return parse_count(value, account.voicemail_old);
    else
        return false;
    return true;
}

} // namespace

std::map<std::string, Account> parse_accounts(const std::string& text, std::string* problems)
{
    std::map<std::string, Account> accounts;
    std::istringstream in(text);
    std::string line;
    Account* current = nullptr;
    int number = 0;
    auto complain = [&](const std::string& what) {
        if (problems)
            *problems += "line " + std::to_string(number) + ": " + what + "\n";
    };
    while (std::getline(in, line)) {
        ++number;
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = trim(line.substr(1, line.size() - 2));
            if (!plain_name(name)) {
                complain("unusable account name \"" + name + "\"");
                current = nullptr;
                continue;
            }
            current = &accounts[name];
            current->name = name;
            continue;
        }
        const auto equals = line.find('=');
        if (!current || equals == std::string::npos) {
            complain("not a key=value line inside an account");
            continue;
        }
        const std::string key = trim(line.substr(0, equals));
        if (!apply(*current, key, trim(line.substr(equals + 1))))
            complain("bad key or value \"" + key + "\"");
    }
    // The registrar has no entry for an account without a password either.
    for (auto it = accounts.begin(); it != accounts.end();) {
        if (it->second.password.empty()) {
            if (problems)
                *problems += "account " + it->first + ": no password\n";
            it = accounts.erase(it);
        } else {
            ++it;
        }
    }
    return accounts;
}

AccountBook::AccountBook(std::map<std::string, Account> accounts, std::string version)
    : m_accounts(std::move(accounts)), m_version(std::move(version))
{
}

std::optional<Account> AccountBook::find(const std::string& name) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_accounts.find(name);
    if (it == m_accounts.end())
        return std::nullopt;
    return it->second;
}

std::optional<Account> AccountBook::authenticate(const std::string& name, const std::string& digest) const
{
    auto account = find(name);
    if (!account || digest.size() != 32 ||
        strcasecmp(password_digest(account->password).c_str(), digest.c_str()) != 0)
        return std::nullopt;
    return account;
}

std::map<std::string, Account> AccountBook::all() const
{
    std::lock_guard lock(m_mutex);
    return m_accounts;
}

bool AccountBook::set_voicemail(const std::string& name, int new_count, int old_count)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_accounts.find(name);
    if (it == m_accounts.end())
        return false;
    it->second.voicemail_new = new_count;
    it->second.voicemail_old = old_count;
    return true;
}

std::string AccountBook::version_for(const std::string& name) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_account_versions.find(name);
    return it != m_account_versions.end() ? it->second : m_version;
}

void AccountBook::set_version(const std::string& version)
{
    std::lock_guard lock(m_mutex);
    m_version = version;
    m_account_versions.clear();
}

bool AccountBook::set_version(const std::string& name, const std::string& version)
{
    std::lock_guard lock(m_mutex);
    if (!m_accounts.count(name))
        return false;
    m_account_versions[name] = version;
    return true;
}
