# Fails when a file is larger than its budget in bytes.
#   cmake -DFILE=<file> -DBUDGET=<bytes> -P CheckSize.cmake
file(SIZE ${FILE} size)
get_filename_component(name ${FILE} NAME)
if(size GREATER BUDGET)
  math(EXPR over "${size} - ${BUDGET}")
  # The output is kept: scripts/size-report shows where its bytes go.
  message(FATAL_ERROR "${name} is ${size} bytes, ${over} over its budget of ${BUDGET}: "
                      "scripts/size-report shows where the bytes go")
endif()
message(STATUS "${name}: ${size} of ${BUDGET} bytes")
