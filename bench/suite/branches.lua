local limit = tonumber(arg[1])
local n, odd, even = 0, 0, 0
repeat
  n = n + 1
  if n % 3 == 0 then
    even = even + n
  else
    odd = odd + 1
  end
until n >= limit
print(even % 1000003 + odd)
