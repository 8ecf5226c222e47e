# The vendor's homepage and e-mail address, set in one place for the VST3 and LV2 metadata and
# the packages. Empty (the default) leaves them out; a value given must be a real one.
set(GRIBB_VENDOR_HOMEPAGE "" CACHE STRING "Vendor homepage, an http(s) URL; empty leaves it out")
set(GRIBB_VENDOR_EMAIL "" CACHE STRING "Vendor e-mail address (name@host); empty leaves it out")

if(GRIBB_VENDOR_HOMEPAGE AND NOT GRIBB_VENDOR_HOMEPAGE MATCHES "^https?://[^/ ]+\\.[^ ]+$")
    message(FATAL_ERROR "GRIBB_VENDOR_HOMEPAGE must be an absolute http(s) URL, not '${GRIBB_VENDOR_HOMEPAGE}'")
endif()
if(GRIBB_VENDOR_EMAIL AND NOT GRIBB_VENDOR_EMAIL MATCHES "^[^@ :<>]+@[^@ :<>]+\\.[^@ :<>]+$")
    message(FATAL_ERROR "GRIBB_VENDOR_EMAIL must be a plain address like name@example.org, not '${GRIBB_VENDOR_EMAIL}'")
endif()
