// Cost of turning label HTML into the model, and (with a display) into widgets: the toast
// page, and a larger table such as a wizard step.
#include <benchmark/benchmark.h>

#include "support/display.h"
#include "ui/toast/toast_text.h"
#include "ui/web/html_label.h"
#include "ui/web/html_model.h"

namespace {

std::string toast_page()
{
    return toast_text::page(toast_text::wrap("Incoming call from <b>555 0100</b><br>"
                                             "<a href='kalvo://answer/?1'><img src='RES:answer.png'></a>"));
}

std::string step_table()
{
    std::string html = "<table width='100%' border='1' cellpadding='2' cellspacing='1'>";
    for (int row = 0; row < 40; ++row)
        html +=
            "<tr><td width='20'><img src='RES:answer.png'></td><td><font color='#333333' size='9pt'>Check " +
            std::to_string(row) + "</font></td><td align='right'><b>OK</b></td></tr>";
    return html + "</table>";
}

void ParseToastPage(benchmark::State& state)
{
    std::string html = toast_page();
    for (auto _ : state)
        benchmark::DoNotOptimize(html_model::parse(html));
}
BENCHMARK(ParseToastPage);

void ParseFortyRowTable(benchmark::State& state)
{
    std::string html = step_table();
    for (auto _ : state)
        benchmark::DoNotOptimize(html_model::parse(html));
}
BENCHMARK(ParseFortyRowTable);

void LabelSetText(benchmark::State& state, const std::string& html)
{
    if (!test_support::display_available()) {
        state.SkipWithError("no display");
        return;
    }
    HtmlLabel label;
    for (auto _ : state)
        label.set_text(html);
}
BENCHMARK_CAPTURE(LabelSetText, toast_page, toast_page());
BENCHMARK_CAPTURE(LabelSetText, forty_row_table, step_table());

} // namespace

BENCHMARK_MAIN();
