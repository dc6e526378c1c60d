# Puts the default settings file at DESTINATION unless one is there: the
# tool writes its settings only on "SET", and a user's own file is never
# replaced. Run with cmake -DDESTINATION=... -P, at build and at install.
if(EXISTS "${DESTINATION}")
  return()
endif()
string(ASCII 13 cr)
file(WRITE "${DESTINATION}" "[STATUS]${cr}\nSLEEP_TIME=30${cr}\nWAIT_CLICK_TIME=5${cr}\nVERTICAL_MARGIN=4${cr}\n"
  "HORIZON_MARGIN=6${cr}\nWAIT_FIRST_TIME=10${cr}\n")
message(STATUS "Default settings: ${DESTINATION}")
