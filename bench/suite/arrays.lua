local n = tonumber(arg[1])
local a, b = {}, {}
for k = 1, 1000 do a[k] = 0 end
for r = 1, 100 do
  b[r] = {}
  for c = 1, 100 do b[r][c] = 0 end
end
local s = 0
for i = 1, n do
  local k = i % 1000 + 1
  a[k] = a[k] + i % 7
  local r = i % 100 + 1
  local c = i % 37 + 1
  b[r][c] = b[r][c] + a[k] % 5
  s = s + b[r][c]
end
print(s)
