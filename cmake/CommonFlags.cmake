# Flags every Paperpull target shares: one place, so a stricter rule reaches all
# of them at once.
add_library(paperpull_common INTERFACE)
target_compile_features(paperpull_common INTERFACE cxx_std_20)
set_target_properties(paperpull_common PROPERTIES INTERFACE_CXX_EXTENSIONS OFF)
target_compile_definitions(paperpull_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER)
target_compile_options(paperpull_common INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual)
