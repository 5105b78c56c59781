#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace varnet::testing {

// Checks that `fn` throws an exception whose message contains `fragment`.
template <class Fn>
void expectThrowsWith(Fn&& fn, const std::string& fragment) {
    try {
        fn();
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos)
            << "message \"" << e.what() << "\" lacks \"" << fragment << "\"";
        return;
    }
    ADD_FAILURE() << "nothing was thrown; expected a message with \"" << fragment << "\"";
}

}  // namespace varnet::testing
