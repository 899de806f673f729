! Reference writer for the formatter tests: reads lines "<R|I> <16 hex digits of the
! value's bits> <edit descriptor>" and writes, per line, "OK <field>|" from an internal
! write with that descriptor, or "ERR" when the run-time library rejects it. The "|" after
! the field in the format keeps trailing blanks of the field visible.
program format_grid
  implicit none
  character(len=512) :: line, fmt, buf
  integer(8) :: bits
  real(8) :: x
  integer :: ios, p
  do
    read (*, '(A)', iostat=ios) line
    if (ios /= 0) exit
    read (line(3:18), '(Z16)') bits
    fmt = '(' // trim(line(20:)) // ',"|")'
    if (line(1:1) == 'R') then
      x = transfer(bits, x)
      write (buf, fmt, iostat=ios) x
    else
      write (buf, fmt, iostat=ios) bits
    end if
    if (ios /= 0) then
      write (*, '(A)') 'ERR'
    else
      p = index(buf, '|', back=.true.)
      write (*, '(A)') 'OK ' // buf(1:p)
    end if
  end do
end program format_grid
