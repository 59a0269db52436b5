#include <gtest/gtest.h>
#include <stdexcept>

#include "log/log_file.h"
#include "support/test_paths.h"
#include "telephony/sipx/engine_thread.h"
#include "telephony/sipx/sipx_state.h"

namespace {

TEST(EngineThread, AThrowingTaskFailsItsCallerIsLoggedAndTheEngineGoesOn)
{
    test_support::TempDir folder;
    log_file::set_folder(folder.path());
    EngineThread engine;

    EXPECT_THROW(engine.call([]() -> int { throw std::runtime_error("no such call"); }), std::runtime_error);
    engine.post([] { throw std::logic_error("posted and lost"); });
    EXPECT_EQ(engine.call([] { return 7; }), 7);

    std::string log = test_support::read_file(log_file::file_in(folder.path()));
    EXPECT_NE(log.find("SIPX - engine task failed: no such call"), std::string::npos) << log;
    EXPECT_NE(log.find("SIPX - engine task failed: posted and lost"), std::string::npos) << log;

    // Through the sipx entry points the caller gets a failure result.
    EXPECT_EQ(sipx_on_engine([]() -> SIPX_RESULT { throw std::runtime_error("stack refused"); }),
        SIPX_RESULT_FAILURE);
    EXPECT_EQ(sipx_on_engine([] { return SIPX_RESULT_SUCCESS; }), SIPX_RESULT_SUCCESS);
}

} // namespace
