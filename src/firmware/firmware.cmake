# The firmware dock and the process-wide upload and update managers. Included
# from src/CMakeLists.txt after the libraries it needs, so that this folder's
# own CMakeLists.txt can stay where the link layer expects firmware_types.
add_library(firmware STATIC
    ${CMAKE_CURRENT_LIST_DIR}/firmwareuploadmanager.h ${CMAKE_CURRENT_LIST_DIR}/firmwareuploadmanager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/updatemanager.h ${CMAKE_CURRENT_LIST_DIR}/updatemanager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/updatestatusdock.h ${CMAKE_CURRENT_LIST_DIR}/updatestatusdock.cpp
)
target_include_directories(firmware PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(firmware PUBLIC firmware_types link_protocol Qt5::Widgets)
