#include "net/login_reply_values.h"

void LoginReplyValues::store(const VersionReply& reply)
{
    LoginValues values{reply.info_version(), reply.show_info(), reply.account_type(), reply.account_details(),
        reply.outbound_proxy()};
    std::lock_guard guard(m_mutex);
    m_values = std::move(values);
}

LoginValues LoginReplyValues::get() const
{
    std::lock_guard guard(m_mutex);
    return m_values;
}
