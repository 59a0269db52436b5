#include "base/timer_table.h"

#include <glib.h>

struct TimerTable::Armed {
    TimerTable* table;
    unsigned id;
    guint source;
};

TimerTable::TimerTable(Handler handler) : m_handler(std::move(handler)) { }

TimerTable::~TimerTable()
{
    kill_all();
}

void TimerTable::set_timer(unsigned id, unsigned milliseconds)
{
    kill_timer(id);
    auto* armed = new Armed{this, id, 0};
    armed->source = g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds, &TimerTable::on_expiry, armed,
        [](gpointer data) { delete static_cast<Armed*>(data); });
    m_timers[id] = armed;
}

void TimerTable::kill_timer(unsigned id)
{
    auto found = m_timers.find(id);
    if (found == m_timers.end())
        return;
    guint source = found->second->source;
    m_timers.erase(found);
    g_source_remove(source); // frees the Armed record
}

bool TimerTable::is_armed(unsigned id) const
{
    return m_timers.contains(id);
}

void TimerTable::kill_all()
{
    while (!m_timers.empty())
        kill_timer(m_timers.begin()->first);
}

int TimerTable::on_expiry(void* data)
{
    auto* armed = static_cast<Armed*>(data);
    TimerTable* table = armed->table;
    unsigned id = armed->id;
    guint source = armed->source;
    table->m_handler(id);
    // The handler may have killed or re-armed this id; keep the source only when it is
    // still the one armed under the id.
    auto found = table->m_timers.find(id);
    return found != table->m_timers.end() && found->second->source == source ? G_SOURCE_CONTINUE
                                                                             : G_SOURCE_REMOVE;
}
