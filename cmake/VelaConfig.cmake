# Deployment values left to the implementer; production defaults live on the
# reserved .example domain. Test and demo builds point both update hosts at a
# closed loopback port so a failing primary never leaves the machine.
set(VELA_UPDATE_HOST "update.embervoyage.example" CACHE STRING "Primary update host[:port]")
set(VELA_UPDATE_BACKUP_HOST "update-backup.embervoyage.example" CACHE STRING "Backup update host[:port]")
set(VELA_ANALYTICS_BASE "http://analytics.embervoyage.example" CACHE STRING "Analytics server base")
set(VELA_LINK_OFFICIAL "https://www.embervoyage.example/" CACHE STRING "Official web site")
set(VELA_LINK_COMMUNITY "https://community.embervoyage.example/" CACHE STRING "Community page")
set(VELA_LINK_VIDEO "https://video.embervoyage.example/" CACHE STRING "Video channel")
set(VELA_LINK_CHAT "https://chat.embervoyage.example/" CACHE STRING "Chat server")
set(VELA_LINK_SOCIAL "https://social.embervoyage.example/" CACHE STRING "Social page")

set(VELA_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/VelaConfig.h.in ${VELA_GENERATED_DIR}/VelaConfig.h @ONLY)
