# cmake -DIN=FILE -DOUT=FILE -DPROJECT_VERSION=V -P WindowsText.cmake: a text file as Windows
# programs expect it, with CR LF line ends (and @PROJECT_VERSION@ filled in).
configure_file(${IN} ${OUT} @ONLY NEWLINE_STYLE CRLF)
