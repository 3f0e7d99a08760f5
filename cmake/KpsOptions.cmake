# One interface target carries the language standard, warnings and sanitizers.
add_library(kps_options INTERFACE)
target_compile_features(kps_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(kps_options INTERFACE -Wall -Wextra -Wpedantic)
if(KPS_WARNINGS_AS_ERRORS)
    target_compile_options(kps_options INTERFACE -Werror)
endif()
if(KPS_SANITIZE)
    target_compile_options(kps_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(kps_options INTERFACE -fsanitize=address,undefined)
endif()
