add_library(qev_warnings INTERFACE)
target_compile_options(qev_warnings INTERFACE -Wall -Wextra -Wno-unused-parameter
    # Designated initializers leave the other members at their defaults, on purpose.
    -Wno-missing-field-initializers)
