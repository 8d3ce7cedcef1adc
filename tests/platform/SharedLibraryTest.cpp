#include "platform/SharedLibrary.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

using platform::SharedLibrary;

namespace {

// A system library this test program does not load by itself.
constexpr const char* kUnusedLibrary = "libanl.so.1";

bool loadedInProcess(const char* name) {
    void* handle = ::dlopen(name, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        ::dlclose(handle);
    return handle != nullptr;
}

TEST(SharedLibrary, LoadsFindsAndUnloads) {
    ASSERT_FALSE(loadedInProcess(kUnusedLibrary));
    {
        SharedLibrary library = SharedLibrary::loadFirst({"/no/such/libx.so", kUnusedLibrary});
        ASSERT_TRUE(library.isLoaded()) << library.errorText();
        EXPECT_TRUE(loadedInProcess(kUnusedLibrary));
        EXPECT_NE(library.symbol("getaddrinfo_a"), nullptr);
        EXPECT_EQ(library.symbol("no_such_function"), nullptr);
        EXPECT_NE(library.errorText().find("no_such_function"), std::string::npos);

        SharedLibrary moved = std::move(library);
        EXPECT_FALSE(library.isLoaded());
        EXPECT_TRUE(moved.isLoaded());
    }
    EXPECT_FALSE(loadedInProcess(kUnusedLibrary));

    using Cosine = double (*)(double);
    SharedLibrary math("libm.so.6");
    ASSERT_NE(math.function<Cosine>("cos"), nullptr);
    EXPECT_DOUBLE_EQ(math.function<Cosine>("cos")(0.0), 1.0);
}

TEST(SharedLibrary, NothingLoadsWhenNoCandidateExists) {
    const SharedLibrary none = SharedLibrary::loadFirst({"/no/such/liba.so", "libno-such-name.so"});
    EXPECT_FALSE(none.isLoaded());
    EXPECT_NE(none.errorText().find("libno-such-name.so"), std::string::npos);
    SharedLibrary empty;
    EXPECT_EQ(empty.symbol("cos"), nullptr);
}

} // namespace
