local n = tonumber(arg[1])
local a, b, c = 0, 0, 0
for i = 1, n do
  a = a + i % 7
  b = b + a % 13
  c = c + 1
end
print(a + b + c)
